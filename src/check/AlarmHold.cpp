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

std::optional<AlarmHold> decideHold(const QString& address, const QDateTime& nowUtc,
                                    const QList<MaintenanceWindow>& windows, bool paused,
                                    const QString& failingParent) {
    for (const MaintenanceWindow& window : windows)
        if (MaintenanceWindows::covers(window, address) && MaintenanceWindows::open(window, nowUtc))
            return AlarmHold{AlarmHold::Reason::Maintenance, window.name};
    if (paused)
        return AlarmHold{AlarmHold::Reason::Paused, {}};
    if (!failingParent.isEmpty())
        return AlarmHold{AlarmHold::Reason::Dependency, failingParent};
    return std::nullopt;
}
