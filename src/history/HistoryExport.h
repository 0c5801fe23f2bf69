#pragma once

#include <QString>
#include <optional>

class QIODevice;

// Writes the raw checks kept in the history file as CSV, oldest first: the header line
// "time,address,outcome,code,ms,lookup_ms,connect_ms,tls_ms,first_byte_ms,error", then a line a
// check, quoted as RFC 4180 says. sinceDays keeps only the checks of the last so many days.
// The file is only read, so a monitor may go on writing it meanwhile. Returns why it could not
// be read; an empty text when all went out.
QString exportHistory(const QString& historyFile, QIODevice& out, std::optional<int> sinceDays = std::nullopt);
