#pragma once

#include <QObject>
#include <QString>

class QDateTime;

// The activity log: every lasting event, as one line stamped with the moment it was added.
// Whoever shows or keeps the lines follows lineAdded: the window's log view, or standard output.
class ActivityLog : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void AddLogLine(const QString& message);

    static QString timeStamp(const QDateTime& when);

signals:
    void lineAdded(const QString& line);
};
