#pragma once

#include <QString>

class QTextEdit;

// The bounded, time-stamped activity log. Line 0 is the title and stays; at most
// MaxEntries entries follow it.
class ActivityLog {
public:
    static constexpr int MaxEntries = 300;

    explicit ActivityLog(QTextEdit* log);

    void AddLogLine(const QString& message);

    static QString timeStamp(const class QDateTime& when);

private:
    QTextEdit* Log;
};
