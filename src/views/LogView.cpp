#include "views/LogView.h"

#include "notify/ActivityLog.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

LogView::LogView(QWidget* parent) : QPlainTextEdit(parent), flushTimer_(new QTimer(this)) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(FlushIntervalMs);
    connect(flushTimer_, &QTimer::timeout, this, &LogView::flush);
}

void LogView::follow(ActivityLog& log) {
    connect(&log, &ActivityLog::lineAdded, this, &LogView::take);
}

void LogView::take(const QString& line) {
    if (!flushTimer_->isActive())
        flushTimer_->start();
    pending_.append(line);
    if (pending_.size() > MaxEntries)
        pending_.removeFirst();
}

void LogView::flush() {
    flushTimer_->stop();
    if (pending_.isEmpty())
        return;
    QTextDocument* doc = document();
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
    appendPlainText(pending_.join(QLatin1Char('\n')));
    pending_.clear();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}
