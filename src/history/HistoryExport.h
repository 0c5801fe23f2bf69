#pragma once

#include <QString>
#include <optional>

class QIODevice;

// What an export holds: every single check, or a row for each page and hour.
enum class ExportRows { Checks, Hourly };

// Writes the history kept in the file as CSV, oldest first and quoted as RFC 4180 says. Single
// checks have the header line "time,address,outcome,code,ms,lookup_ms,connect_ms,tls_ms,
// first_byte_ms,error"; hourly rows "time,address,checks,up,down,min_ms,avg_ms,max_ms". sinceDays
// keeps only the rows of the last so many days. The file is only read, so a monitor may go on
// writing it meanwhile. Returns why it could not be read; an empty text when all went out.
QString exportHistory(const QString& historyFile, QIODevice& out, std::optional<int> sinceDays = std::nullopt,
                      ExportRows rows = ExportRows::Checks);
// The same into a file, which only a complete export replaces.
QString exportHistoryTo(const QString& historyFile, const QString& file,
                        std::optional<int> sinceDays = std::nullopt, ExportRows rows = ExportRows::Checks);
