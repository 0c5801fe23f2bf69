#include "pages/MaintenanceWindow.h"

#include "pages/PageListMerge.h"

#include <QTimeZone>
#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr qint64 MsPerDay = 86400000;
constexpr qint64 EpochJulianDay = 2440588; // 1970-01-01
// Longer than a week, a window that recurs once a week would never close: it is not a window.
constexpr qint64 LongestRecurring = 7 * 86400;

// The instants windows start at, by zone, day and time of day. Every page of a cycle asks about
// the same few, and reading a wall-clock time in a zone (the machine's above all) costs more than
// all the rest; kept per thread, so that no one waits on a lock for them.
struct KnownStart {
    QString zone;
    qint64 day = -1;
    int at = -1;
    qint64 start = 0;
};

qint64 startOn(qint64 julianDay, QTime at, const QString& zone) {
    thread_local std::array<KnownStart, 64> known;
    const int atMs = at.msecsSinceStartOfDay();
    KnownStart& slot = known[qHashMulti(0, zone, julianDay, atMs) % known.size()];
    if (slot.day != julianDay || slot.at != atMs || slot.zone != zone) {
        const QDateTime start = MaintenanceWindows::wallClock(QDate::fromJulianDay(julianDay), at, zone);
        // A zone that is not known starts no window.
        slot = {zone, julianDay, atMs,
                start.isValid() ? start.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max()};
    }
    return slot.start;
}

bool recurringOpen(const MaintenanceWindow& window, qint64 now) {
    // The day it is in the window's zone is the day it is in UTC or one either side; looking at
    // all three spares finding out which. A window begun on an earlier day may still be open:
    // look back as many days as it lasts, and one more for a day that daylight saving time made
    // short. A week back always finds the last start, however long the window.
    const qint64 utcDay = now / MsPerDay + EpochJulianDay - (now % MsPerDay < 0 ? 1 : 0);
    const qint64 daysBack = std::min(window.lengthSeconds / 86400 + 2, qint64(8));
    const qint64 lengthMs = window.lengthSeconds * 1000;
    for (qint64 day = utcDay + 1; day >= utcDay - 1 - daysBack; --day) {
        // Julian day 0 was a Monday, which QDate counts as 1.
        const int weekday = int(day % 7) + 1;
        if (!window.days.contains(weekday))
            continue;
        const qint64 start = startOn(day, window.at, window.timeZone);
        if (start <= now && now - start < lengthMs)
            return true;
    }
    return false;
}

} // namespace

QTimeZone MaintenanceWindows::timeZone(const QString& name) {
    if (name.isEmpty())
        return QTimeZone::systemTimeZone();
    // Qt makes a zone of any word, read as a rule of its own ("Berlin" would be UTC, and a window
    // an hour off): only a name of the zone database counts. Qt's list of them leaves out some
    // that the database has ("Etc/UTC", "US/Eastern"), so a name with a slash is looked up there.
    const QByteArray id = name.toUtf8();
    return id.contains('/') || QTimeZone::isTimeZoneIdAvailable(id) ? QTimeZone(id) : QTimeZone();
}

QDateTime MaintenanceWindows::wallClock(QDate date, QTime time, const QString& timeZone) {
    const QTimeZone zone = MaintenanceWindows::timeZone(timeZone);
    if (!zone.isValid())
        return {};
    const QDateTime read(date, time, zone);
    if (read.isValid())
        return read;
    // Skipped: the offset of the day before is the one the clocks had before the change.
    const qint64 asUtc = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    const int before = zone.offsetFromUtc(QDateTime(date.addDays(-1), time, Qt::UTC));
    return QDateTime::fromMSecsSinceEpoch(asUtc - qint64(before) * 1000, zone);
}

bool MaintenanceWindows::open(const MaintenanceWindow& window, const QDateTime& nowUtc) {
    const qint64 now = nowUtc.toMSecsSinceEpoch();
    if (window.recurring())
        return window.at.isValid() && recurringOpen(window, now);
    return window.start.isValid() && window.end.isValid() && window.start.toMSecsSinceEpoch() <= now &&
           now < window.end.toMSecsSinceEpoch();
}

bool MaintenanceWindows::covers(const MaintenanceWindow& window, const QString& address) {
    return window.allPages ||
           std::any_of(window.pages.cbegin(), window.pages.cend(),
                       [&address](const QString& page) { return samePage(page, address); });
}

QString MaintenanceWindows::problem(const MaintenanceWindow& window) {
    const auto wrong = [](const char* field, const char* reason) {
        return QLatin1String(field) + QStringLiteral(": ") + QLatin1String(reason);
    };
    if (window.name.trimmed().isEmpty())
        return wrong("name", "missing");
    if (!window.allPages && window.pages.isEmpty())
        return wrong("pages", "missing");
    if (window.pages.contains(QString()))
        return wrong("pages", "an empty address");
    if (!window.timeZone.isEmpty() && !timeZone(window.timeZone).isValid())
        return QStringLiteral("timeZone: unknown time zone \"") + window.timeZone + QLatin1Char('"');
    const bool timed = window.start.isValid() || window.end.isValid();
    if (!window.recurring()) {
        if (!timed && (window.at.isValid() || window.lengthSeconds != 0))
            return wrong("every", "missing");
        if (window.at.isValid())
            return wrong("at", "only for a window with \"every\"");
        if (window.lengthSeconds != 0)
            return wrong("duration", "only for a window with \"every\"");
        if (!window.start.isValid())
            return wrong("start", "missing");
        if (!window.end.isValid())
            return wrong("end", "missing");
        if (window.end <= window.start)
            return wrong("end", "not after the start");
        return {};
    }
    if (timed)
        return wrong(window.start.isValid() ? "start" : "end", "not for a window with \"every\"");
    for (qsizetype day = 0; day < window.days.size(); ++day) {
        if (window.days[day] < 1 || window.days[day] > 7)
            return wrong("every", "not a day of the week");
        if (window.days.indexOf(window.days[day]) != day)
            return wrong("every", "a day named twice");
    }
    if (!window.at.isValid())
        return wrong("at", "missing");
    if (window.lengthSeconds < 1)
        return wrong("duration", "missing");
    if (window.lengthSeconds > LongestRecurring)
        return wrong("duration", "longer than 7 days");
    return {};
}
