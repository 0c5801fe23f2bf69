#include "views/ActivityLog.h"

#include <QDateTime>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

ActivityLog::ActivityLog(QTextEdit* log) : Log(log) {}

QString ActivityLog::timeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
}

void ActivityLog::AddLogLine(const QString& message) {
    QTextDocument* doc = Log->document();
    if (doc->blockCount() > MaxEntries) {
        QTextCursor cursor(doc->findBlockByNumber(1));
        cursor.select(QTextCursor::BlockUnderCursor);
        cursor.removeSelectedText();
    }
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.insertBlock();
    end.insertText(QLatin1Char('[') + timeStamp(QDateTime::currentDateTime()) + QStringLiteral("] ") +
                   message);
    Log->verticalScrollBar()->setValue(Log->verticalScrollBar()->maximum());
}
