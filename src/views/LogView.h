#pragma once

#include <QPlainTextEdit>
#include <QStringList>

class ActivityLog;
class QTimer;

// The view of the activity log: read-only plain text without line wrapping, with both scroll
// bars, holding the title and the newest MaxEntries lines. Lines reach it together a moment after
// they were logged: an outage logs a line for every page, and putting them into the view one at
// a time would cost more than checking the pages. Plain text keeps adding a line cheap, where a
// rich-text document would lay itself out anew each time.
class LogView : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int MaxEntries = 300;
    // The longest a line waits before it is shown.
    static constexpr int FlushIntervalMs = 40;

    explicit LogView(QWidget* parent = nullptr);

    // Shows the log's lines from now on.
    void follow(ActivityLog& log);
    // Puts the lines logged since the last flush into the view now.
    void flush();

private:
    void take(const QString& line);

    QStringList pending_;
    QTimer* flushTimer_;
};
