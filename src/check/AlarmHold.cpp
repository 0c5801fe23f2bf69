#include "check/AlarmHold.h"

QString AlarmHold::word() const {
    switch (reason) {
    case Reason::Maintenance:
        return QStringLiteral("maintenance");
    case Reason::Paused:
        return QStringLiteral("paused");
    case Reason::Dependency:
        break;
    }
    return QStringLiteral("dependency");
}

QString AlarmHold::logLine(const QString& address) const {
    switch (reason) {
    case Reason::Maintenance:
        return QStringLiteral("Held (maintenance \"%1\"): %2").arg(about, address);
    case Reason::Paused:
        return QStringLiteral("Held (alarms paused): ") + address;
    case Reason::Dependency:
        break;
    }
    return QStringLiteral("Held (depends on %1): %2").arg(about, address);
}

std::optional<AlarmHold> decideHold(const std::optional<QString>& window, bool paused,
                                    const QString& failingParent) {
    if (window)
        return AlarmHold{AlarmHold::Reason::Maintenance, *window};
    if (paused)
        return AlarmHold{AlarmHold::Reason::Paused, {}};
    if (!failingParent.isEmpty())
        return AlarmHold{AlarmHold::Reason::Dependency, failingParent};
    return std::nullopt;
}
