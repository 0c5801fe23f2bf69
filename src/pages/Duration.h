#pragma once

#include <QString>
#include <optional>

// Lengths of time as people type them: "30m", "2h", "1d" (also "45s" and "90" for minutes).
namespace Duration {

// Seconds, at least one; nothing when the text is no length.
std::optional<qint64> parseSeconds(const QString& text);
// The shortest of those forms that says the length exactly: 5400 -> "90m", 3600 -> "1h".
QString text(qint64 seconds);

} // namespace Duration
