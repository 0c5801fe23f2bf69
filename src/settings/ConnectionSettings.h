#pragma once

#include <QString>
#include <algorithm>
#include <limits>

// The numbers of the Connection tab are kept as the texts of their edit fields and read when
// they are needed; a text that is not a whole number gives the default.
namespace ConnectionSettings {

constexpr int DefaultSlowSeconds = 5;
constexpr int DefaultTimeOutSeconds = 20;
constexpr int DefaultIntervalMinutes = 10;
constexpr int DefaultProxyPort = 80;
constexpr int DefaultCertificateDays = 14;
constexpr int DefaultFailCount = 1;
constexpr int DefaultParallelChecks = 16;
constexpr int MostParallelChecks = 64;
constexpr int DefaultHistoryDays = 2;

inline int number(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

// The interval of scheduled checks in milliseconds. Below a minute cycles would run back to back
// and never leave the network alone; above the longest interval a timer holds the product
// would overflow.
inline int intervalMs(const QString& minutesText) {
    constexpr int MsPerMinute = 60000;
    const int minutes = number(minutesText, DefaultIntervalMinutes);
    return std::clamp(minutes, 1, std::numeric_limits<int>::max() / MsPerMinute) * MsPerMinute;
}

// The time-out in whole seconds: at least one, and at most what still fits a timer in
// milliseconds.
inline int timeOutSeconds(const QString& text) {
    return std::clamp(number(text, DefaultTimeOutSeconds), 1, std::numeric_limits<int>::max() / 1000);
}

// How many pages are checked at once.
inline int parallelChecks(const QString& text) {
    return std::clamp(number(text, DefaultParallelChecks), 1, MostParallelChecks);
}

// How many days every single check is kept in the history: at least one, so the last day's
// uptime is always exact.
inline int historyDays(const QString& text) {
    return std::clamp(number(text, DefaultHistoryDays), 1, 36500);
}

} // namespace ConnectionSettings
