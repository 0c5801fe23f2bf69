#include "pages/Duration.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

struct Unit {
    char letter;
    qint64 seconds;
};

// Largest first, so that text() finds the shortest form.
constexpr Unit Units[] = {{'d', 86400}, {'h', 3600}, {'m', 60}, {'s', 1}};

} // namespace

std::optional<qint64> Duration::parseSeconds(const QString& text) {
    QStringView number = QStringView(text).trimmed();
    qint64 unit = 60; // a bare number counts minutes
    if (!number.isEmpty() && number.back().isLetter()) {
        const char letter = number.back().toLower().toLatin1();
        const auto found = std::find_if(std::begin(Units), std::end(Units),
                                        [letter](const Unit& known) { return known.letter == letter; });
        if (found == std::end(Units))
            return std::nullopt;
        unit = found->seconds;
        number = number.chopped(1).trimmed();
    }
    // Digits only: no sign, no blanks inside, no "0x".
    if (number.isEmpty() ||
        !std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 count = number.toLongLong(&ok);
    if (!ok || count < 1 || count > std::numeric_limits<qint64>::max() / unit)
        return std::nullopt;
    return count * unit;
}

QString Duration::text(qint64 seconds) {
    // Seconds come last and divide every length, so one always fits.
    const Unit& unit = *std::find_if(std::begin(Units), std::end(Units),
                                     [seconds](const Unit& known) { return seconds % known.seconds == 0; });
    return QString::number(seconds / unit.seconds) + QLatin1Char(unit.letter);
}
