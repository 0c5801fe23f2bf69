#include "check/AlarmLedger.h"

AlarmLedger::Telling AlarmLedger::alarm(const QString& page, qint64 nowMs, const Rules& rules) {
    Entry& entry = pages_[page];
    if (!entry.downSinceMs)
        entry.downSinceMs = nowMs;
    Telling telling;
    telling.downMs = nowMs - *entry.downSinceMs;
    for (int target = 0; target < Targets; ++target) {
        std::optional<qint64>& told = entry.toldMs[std::size_t(target)];
        if (telling.downMs < rules.afterMs[std::size_t(target)])
            continue;
        if (told && rules.remindMs > 0 && nowMs - *told < rules.remindMs)
            continue;
        telling.told[std::size_t(target)] = true;
        telling.reminded[std::size_t(target)] = told && rules.remindMs > 0;
        told = nowMs;
        entry.toldEver[std::size_t(target)] = true;
    }
    return telling;
}

void AlarmLedger::held(const QString& page) {
    const auto found = pages_.find(page);
    if (found == pages_.end())
        return;
    found->downSinceMs.reset();
    found->toldMs = {};
}

AlarmLedger::Mask AlarmLedger::recovered(const QString& page) {
    const auto found = pages_.constFind(page);
    if (found == pages_.constEnd()) {
        Mask everyone;
        everyone.fill(true);
        return everyone;
    }
    const Mask told = found->toldEver;
    pages_.erase(found);
    return told;
}

QString AlarmLedger::lasting(qint64 ms) {
    const qint64 minutes = ms / 60000;
    const qint64 days = minutes / (24 * 60);
    const qint64 hours = minutes / 60 % 24;
    const qint64 rest = minutes % 60;
    if (days > 0)
        return hours > 0 ? QStringLiteral("%1 d %2 h").arg(days).arg(hours)
                         : QStringLiteral("%1 d").arg(days);
    if (hours > 0)
        return rest > 0 ? QStringLiteral("%1 h %2 min").arg(hours).arg(rest)
                        : QStringLiteral("%1 h").arg(hours);
    return QStringLiteral("%1 min").arg(rest);
}
