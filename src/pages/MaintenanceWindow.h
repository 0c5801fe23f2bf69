#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimeZone>

// Planned work on some pages: while the window is open they are still checked and kept in the
// history, but raise no alarm. A window is one-off (a start and an end) or recurring (some days
// of the week, a time of day and a length), in a time zone of its own or the machine's.
struct MaintenanceWindow {
    QString name;
    bool allPages = false;
    QStringList pages; // the addresses it covers, as listed; unused when allPages

    // One-off: the wall-clock start and end in the window's time zone.
    QDateTime start;
    QDateTime end;

    // Recurring when days is not empty: 1 (Monday) to 7 (Sunday).
    QList<int> days;
    QTime at;
    qint64 lengthSeconds = 0;

    QString timeZone; // an IANA name; empty: the machine's

    bool recurring() const { return !days.isEmpty(); }
    bool operator==(const MaintenanceWindow&) const = default;
};

namespace MaintenanceWindows {

// Whether the window is open at the instant: [start, end) for a one-off window; for a recurring
// one, [day at "at", + length) for any listed day, so a window that starts late on Monday still
// holds early on Tuesday. Wall-clock times that a change of daylight saving time skips or repeats
// are read as the time zone reads them.
bool open(const MaintenanceWindow& window, const QDateTime& nowUtc);
// Whether the window covers the page at this address (as listed; letter case of the scheme and
// host does not matter).
bool covers(const MaintenanceWindow& window, const QString& address);
// What is wrong with the window, naming the field ("name", "pages", "start", "end", "every",
// "at", "duration", "timeZone"); empty when it is right.
QString problem(const MaintenanceWindow& window);
// The time zone of that IANA name; the machine's when the name is empty. Invalid when unknown.
QTimeZone timeZone(const QString& name);
// The instant that a wall-clock time names in the time zone of that name, carrying the zone;
// invalid when the zone is unknown. A time that the change to summer time skips is read with the
// offset before the change, as the clocks still showed it.
QDateTime wallClock(QDate date, QTime time, const QString& timeZone);

} // namespace MaintenanceWindows
