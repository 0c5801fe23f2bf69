#pragma once

#include <QString>

// The numbers of the Connection tab are kept as the texts of their edit fields and read when
// they are needed; a text that is not a whole number gives the default.
namespace ConnectionSettings {

constexpr int DefaultSlowSeconds = 5;
constexpr int DefaultTimeOutSeconds = 20;
constexpr int DefaultIntervalMinutes = 10;
constexpr int DefaultProxyPort = 80;

inline int number(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace ConnectionSettings
