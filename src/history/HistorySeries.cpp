#include "history/HistorySeries.h"

#include "history/CheckRecord.h"
#include "history/HistorySchema.h"
#include "history/HistorySql.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <algorithm>

namespace {
using namespace HistorySchema;

qint64 stepFor(qint64 spanMs) {
    if (spanMs <= DayMs)
        return 0;
    return spanMs <= 31 * DayMs ? HourMs : DayMs;
}

QString readPoints(const QSqlDatabase& db, const QString& address, HistorySeries& series) {
    const QString page = QStringLiteral("(SELECT id FROM pages WHERE address = ?)");
    const qint64 step = series.stepMs;
    QSqlQuery query(db);
    const QString failure =
        step == 0
            ? HistorySql::run(query,
                              QStringLiteral("SELECT time_ms, ms, up, held IS ? FROM checks WHERE page = %1 "
                                             "AND time_ms >= ? AND time_ms <= ? ORDER BY time_ms")
                                  .arg(page),
                              {QLatin1String(CheckRecord::Maintenance), address, series.fromMs, series.toMs})
            : HistorySql::run(
                  query,
                  QStringLiteral("SELECT %2 * ?, total_ms / checks, down = 0, maintenance > 0 FROM %1 "
                                 "WHERE page = %3 AND %2 >= ? AND %2 <= ? ORDER BY %2")
                      .arg(step == HourMs ? QStringLiteral("hourly") : QStringLiteral("daily"),
                           step == HourMs ? QStringLiteral("hour") : QStringLiteral("day"), page),
                  {step, address, series.fromMs / step, series.toMs / step});
    if (!failure.isEmpty())
        return failure;
    // An hour or a day begun before the series is drawn where the series starts: the checks in it
    // that are shown came after.
    while (query.next())
        series.points.append({std::max(query.value(0).toLongLong(), series.fromMs),
                              query.value(1).toLongLong(), query.value(2).toBool(), query.value(3).toBool()});
    return HistorySql::rowsFailure(query);
}

// A run of points in maintenance ends at the next point: a single check is all that tells when a
// window closed. An hour or a day ends with itself, so a gap without checks after it is not
// drawn as maintenance. A run that reaches the last point lasts.
void findMaintenance(HistorySeries& series) {
    const QList<HistorySeries::Point>& points = series.points;
    for (qsizetype at = 0; at < points.size(); ++at) {
        if (!points[at].maintenance)
            continue;
        HistorySeries::Span span{points[at].timeMs, std::nullopt, {}};
        while (at + 1 < points.size() && points[at + 1].maintenance)
            ++at;
        if (at + 1 < points.size()) {
            span.endMs = points[at + 1].timeMs;
            if (series.stepMs > 0)
                span.endMs = std::min(*span.endMs, (points[at].timeMs / series.stepMs + 1) * series.stepMs);
        }
        series.maintenance.append(span);
    }
}

QString readOutages(const QSqlDatabase& db, const QString& address, HistorySeries& series) {
    QSqlQuery query(db);
    if (const QString failure = HistorySql::run(
            query,
            QStringLiteral("SELECT start_ms, end_ms, reason FROM outages WHERE page = (SELECT id FROM "
                           "pages WHERE address = ?) AND start_ms <= ? AND (end_ms IS NULL OR end_ms >= ?) "
                           "ORDER BY start_ms"),
            {address, series.toMs, series.fromMs});
        !failure.isEmpty())
        return failure;
    while (query.next()) {
        HistorySeries::Span outage{query.value(0).toLongLong(), std::nullopt, query.value(2).toString()};
        if (!query.value(1).isNull())
            outage.endMs = query.value(1).toLongLong();
        series.outages.append(outage);
    }
    return HistorySql::rowsFailure(query);
}

// Nothing is known before the program first kept something, so a history younger than the range
// starts there rather than greyed out as not running back to the range's start. Its first event
// is a start; checks of a file of the first version may be older.
QString readStart(const QSqlDatabase& db, const QString& address, HistorySeries& series) {
    QSqlQuery query(db);
    if (const QString failure = HistorySql::run(
            query,
            QStringLiteral(
                "SELECT min(time_ms) FROM (SELECT min(time_ms) AS time_ms FROM events UNION ALL "
                "SELECT min(time_ms) FROM checks WHERE page = (SELECT id FROM pages WHERE address = ?))"),
            {address});
        !failure.isEmpty())
        return failure;
    if (!query.next())
        return HistorySql::rowsFailure(query);
    if (!query.value(0).isNull())
        series.fromMs = std::clamp(query.value(0).toLongLong(), series.fromMs, series.toMs);
    return {};
}

// The stretches between a run's end and the next one's start, and before the first start: a run
// killed without an end was closed at its last sign of life when the next one began.
QString readNotMonitored(const QSqlDatabase& db, HistorySeries& series) {
    QSqlQuery query(db);
    if (const QString failure = HistorySql::run(
            query, QStringLiteral("SELECT time_ms, kind = 'program start' FROM events WHERE kind IN "
                                  "('program start', 'program end') ORDER BY time_ms, rowid"));
        !failure.isEmpty())
        return failure;
    const auto gap = [&](qint64 start, qint64 end) {
        start = std::max(start, series.fromMs);
        end = std::min(end, series.toMs);
        if (start < end)
            series.notMonitored.append({start, end, {}});
    };
    bool running = false;
    qint64 stoppedAt = series.fromMs;
    while (query.next()) {
        const qint64 at = query.value(0).toLongLong();
        const bool start = query.value(1).toBool();
        if (start && !running)
            gap(stoppedAt, at);
        else if (!start && running)
            stoppedAt = at;
        running = start;
    }
    if (const QString failure = HistorySql::rowsFailure(query); !failure.isEmpty())
        return failure;
    if (!running)
        gap(stoppedAt, series.toMs);
    return {};
}
} // namespace

QString readSeries(const QSqlDatabase& db, const QString& address, qint64 fromMs, qint64 toMs,
                   HistorySeries& series) {
    series = HistorySeries();
    series.fromMs = fromMs;
    series.toMs = toMs;
    series.stepMs = stepFor(toMs - fromMs);
    QString failure = readStart(db, address, series);
    if (failure.isEmpty())
        failure = readPoints(db, address, series);
    if (failure.isEmpty())
        findMaintenance(series);
    if (failure.isEmpty())
        failure = readOutages(db, address, series);
    if (failure.isEmpty())
        failure = readNotMonitored(db, series);
    return failure;
}
