#pragma once

#include "history/HistoryConnection.h"

#include <QString>

class QSqlDatabase;

// Reads the history file on the calling thread, through a read-only connection of its own, so it
// never waits for the writer nor holds it up.
class HistoryReader {
public:
    explicit HistoryReader(const QString& path);
    HistoryReader(const HistoryReader&) = delete;
    HistoryReader& operator=(const HistoryReader&) = delete;

    // Returns why the file cannot be read; an empty text when it can.
    QString open();
    QSqlDatabase database() const;

private:
    QString path_;
    HistoryConnection connection_;
};
