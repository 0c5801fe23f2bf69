#include "pages/Duration.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The units people type, longest first, so that text() picks the largest one that fits.
constexpr std::array<std::pair<char, qint64>, 4> Units{{{'d', 86400}, {'h', 3600}, {'m', 60}, {'s', 1}}};
// A hundred years: a length longer than that is a typing mistake, and its seconds must not
// overflow a date.
constexpr qint64 LongestSeconds = 100LL * 366 * 86400;

} // namespace

namespace Duration {

std::optional<qint64> parseSeconds(const QString& text) {
    QString number = text.trimmed().toLower();
    qint64 unit = 60; // a bare number counts minutes
    for (const auto& [letter, seconds] : Units)
        if (number.endsWith(QLatin1Char(letter))) {
            number.chop(1);
            unit = seconds;
            break;
        }
    // Digits only: no sign, no blank between the number and its unit.
    if (number.isEmpty() || !std::all_of(number.cbegin(), number.cend(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    bool ok = false;
    const qint64 count = number.toLongLong(&ok);
    if (!ok || count <= 0 || count > LongestSeconds / unit)
        return std::nullopt;
    return count * unit;
}

QString text(qint64 seconds) {
    for (const auto& [letter, unit] : Units)
        if (seconds % unit == 0)
            return QString::number(seconds / unit) + QLatin1Char(letter);
    return {};
}

} // namespace Duration
