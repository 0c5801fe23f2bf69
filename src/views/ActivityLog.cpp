#include "views/ActivityLog.h"

#include "views/LogView.h"

#include <QDateTime>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

ActivityLog::ActivityLog(LogView* log) : Log(log), flushTimer_(new QTimer(log)) {
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(FlushIntervalMs);
    QObject::connect(flushTimer_, &QTimer::timeout, flushTimer_, [this] { flush(); });
}

ActivityLog::~ActivityLog() {
    delete flushTimer_;
}

QString ActivityLog::timeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
}

void ActivityLog::AddLogLine(const QString& message) {
    if (!flushTimer_->isActive())
        flushTimer_->start();
    pending_.append(QLatin1Char('[') + timeStamp(QDateTime::currentDateTime()) + QStringLiteral("] ") +
                    message);
    if (pending_.size() > MaxEntries)
        pending_.removeFirst();
}

void ActivityLog::flush() {
    flushTimer_->stop();
    if (pending_.isEmpty())
        return;
    QTextDocument* doc = Log->document();
    // The oldest entries after the title make room, so the title and the newest entries stay.
    const int entries = doc->blockCount() - 1;
    const int excess = std::min(entries, entries + int(pending_.size()) - MaxEntries);
    if (excess > 0) {
        const QTextBlock lastGone = doc->findBlockByNumber(excess);
        QTextCursor cursor(doc->firstBlock());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.setPosition(lastGone.position() + lastGone.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    Log->appendPlainText(pending_.join(QLatin1Char('\n')));
    pending_.clear();
    Log->verticalScrollBar()->setValue(Log->verticalScrollBar()->maximum());
}
