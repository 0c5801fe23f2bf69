#pragma once

#include <QString>

class QSqlDatabase;
class QSqlError;

// The tables of the history file, and the steps that bring an older file up to date.
namespace HistorySchema {
constexpr int Version = 3;
constexpr qint64 HourMs = 3600000;
constexpr qint64 DayMs = 24 * HourMs;

// Brings a file of the given version (0: empty) to this one, in one transaction, so a file is
// never left half made. Returns why it failed; no error when done.
QSqlError update(QSqlDatabase& db, int version);
} // namespace HistorySchema
