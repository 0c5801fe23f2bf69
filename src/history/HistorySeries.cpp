#include "history/HistorySeries.h"

#include "history/HistorySchema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {
using namespace HistorySchema;

qint64 stepFor(qint64 spanMs) {
    if (spanMs <= DayMs)
        return 0;
    return spanMs <= 31 * DayMs ? HourMs : DayMs;
}

QSqlQuery run(const QSqlDatabase& db, const QString& statement, std::initializer_list<QVariant> values) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    query.exec();
    return query;
}

QList<HistorySeries::Point> readPoints(const QSqlDatabase& db, const QString& address, qint64 fromMs, qint64 toMs,
                                       qint64 step) {
    const QString page = QStringLiteral("(SELECT id FROM pages WHERE address = ?)");
    QSqlQuery query =
        step == 0 ? run(db,
                        QStringLiteral("SELECT time_ms, ms, up FROM checks WHERE page = %1 AND time_ms >= ? AND "
                                       "time_ms <= ? ORDER BY time_ms")
                            .arg(page),
                        {address, fromMs, toMs})
                  : run(db,
                        QStringLiteral("SELECT %2 * ?, total_ms / checks, down = 0 FROM %1 WHERE page = %3 AND %2 >= ? "
                                       "AND %2 <= ? ORDER BY %2")
                            .arg(step == HourMs ? QStringLiteral("hourly") : QStringLiteral("daily"),
                                 step == HourMs ? QStringLiteral("hour") : QStringLiteral("day"), page),
                        {step, address, fromMs / step, toMs / step});
    QList<HistorySeries::Point> points;
    while (query.next())
        points.append({query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toBool()});
    return points;
}

QList<HistorySeries::Span> readOutages(const QSqlDatabase& db, const QString& address, qint64 fromMs, qint64 toMs) {
    QSqlQuery query = run(db,
                          QStringLiteral("SELECT start_ms, end_ms, reason FROM outages WHERE page = (SELECT id FROM "
                                         "pages WHERE address = ?) AND start_ms <= ? AND (end_ms IS NULL OR end_ms >= ?) "
                                         "ORDER BY start_ms"),
                          {address, toMs, fromMs});
    QList<HistorySeries::Span> outages;
    while (query.next()) {
        HistorySeries::Span outage{query.value(0).toLongLong(), std::nullopt, query.value(2).toString()};
        if (!query.value(1).isNull())
            outage.endMs = query.value(1).toLongLong();
        outages.append(outage);
    }
    return outages;
}

// The stretches between a run's end and the next one's start, and before the first start: a run
// killed without an end was closed at its last sign of life when the next one began.
QList<HistorySeries::Span> readNotMonitored(const QSqlDatabase& db, qint64 fromMs, qint64 toMs) {
    QSqlQuery query = run(db,
                          QStringLiteral("SELECT time_ms, kind = 'program start' FROM events WHERE kind IN "
                                         "('program start', 'program end') ORDER BY time_ms, rowid"),
                          {});
    QList<HistorySeries::Span> gaps;
    const auto gap = [&](qint64 start, qint64 end) {
        start = std::max(start, fromMs);
        end = std::min(end, toMs);
        if (start < end)
            gaps.append({start, end, {}});
    };
    bool running = false;
    qint64 stoppedAt = fromMs;
    while (query.next()) {
        const qint64 at = query.value(0).toLongLong();
        const bool start = query.value(1).toBool();
        if (start && !running)
            gap(stoppedAt, at);
        else if (!start && running)
            stoppedAt = at;
        running = start;
    }
    if (!running)
        gap(stoppedAt, toMs);
    return gaps;
}
} // namespace

HistorySeries readSeries(const QSqlDatabase& db, const QString& address, qint64 fromMs, qint64 toMs) {
    HistorySeries series;
    series.fromMs = fromMs;
    series.toMs = toMs;
    series.stepMs = stepFor(toMs - fromMs);
    series.points = readPoints(db, address, fromMs, toMs, series.stepMs);
    series.outages = readOutages(db, address, fromMs, toMs);
    series.notMonitored = readNotMonitored(db, fromMs, toMs);
    return series;
}
