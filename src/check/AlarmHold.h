#pragma once

#include <QString>
#include <optional>

// Why a page's alarms are held back: the page is checked and logged as always, but nobody is
// woken for it. As with a silence, only the telling is held, never the check.
struct AlarmHold {
    enum class Reason { Maintenance, Paused, Dependency };
    Reason reason = Reason::Maintenance;
    QString about; // the window's name, or the address of the page it depends on

    // "maintenance", "paused" or "dependency": how the history and the metrics name it.
    QString word() const;
    // `Held (maintenance "NAME"): ADDRESS`, `Held (alarms paused): ADDRESS`,
    // `Held (depends on PARENT): ADDRESS`.
    QString logLine(const QString& address) const;
    bool operator==(const AlarmHold&) const = default;
};

// What holds a page's alarms now, if anything: an open maintenance window that covers it first
// (window: the name of the first such window), then a pause of all alarms, then a page it depends
// on that failed its own last check (failingParent, empty when none did).
std::optional<AlarmHold> decideHold(const std::optional<QString>& window, bool paused,
                                    const QString& failingParent);
