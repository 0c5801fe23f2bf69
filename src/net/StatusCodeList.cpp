#include "net/StatusCodeList.h"

namespace {

constexpr int LowestCode = 100;
constexpr int HighestCode = 999;

std::optional<int> code(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < LowestCode || value > HighestCode)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<StatusCodeList> StatusCodeList::parse(const QString& text) {
    StatusCodeList list;
    if (text.trimmed().isEmpty())
        return list;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList ends = item.split(QLatin1Char('-'));
        if (ends.size() > 2)
            return std::nullopt;
        const std::optional<int> first = code(ends.front());
        const std::optional<int> last = code(ends.back());
        if (!first || !last || *first > *last)
            return std::nullopt;
        list.ranges_.append({*first, *last});
    }
    return list;
}

bool StatusCodeList::accepts(int code) const {
    return ranges_.isEmpty() ? code < 400 : names(code);
}

bool StatusCodeList::names(int code) const {
    for (const auto& [first, last] : ranges_)
        if (code >= first && code <= last)
            return true;
    return false;
}
