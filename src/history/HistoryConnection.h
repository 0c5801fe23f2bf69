#pragma once

#include <QString>

class QSqlDatabase;

// A connection of its own to the history file, removed again with this object. Like every
// database connection it must be made, used and ended on one thread.
class HistoryConnection {
public:
    HistoryConnection();
    ~HistoryConnection();
    HistoryConnection(const HistoryConnection&) = delete;
    HistoryConnection& operator=(const HistoryConnection&) = delete;

    // Opens the file with the driver's connect options, again if it was opened before; the
    // result tells whether it opened, its lastError() why not.
    QSqlDatabase open(const QString& path, const QString& options);
    QSqlDatabase database() const;

private:
    QString name_;
};
