#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

class LogView;
class QDateTime;
class QTimer;

// The bounded, time-stamped activity log. Line 0 is the title and stays; at most
// MaxEntries entries follow it. Lines are stamped when they are added and reach the view
// together a moment later: an outage logs a line for every page, and putting them into the
// view one at a time would cost more than checking the pages.
class ActivityLog {
public:
    static constexpr int MaxEntries = 300;
    // The longest a line waits before it is shown.
    static constexpr int FlushIntervalMs = 40;

    explicit ActivityLog(LogView* log);
    ~ActivityLog();
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    void AddLogLine(const QString& message);
    // Puts the lines added since the last flush into the view now.
    void flush();

    static QString timeStamp(const QDateTime& when);

private:
    LogView* Log;
    QStringList pending_;
    QPointer<QTimer> flushTimer_; // owned by the view, which may go first
};
