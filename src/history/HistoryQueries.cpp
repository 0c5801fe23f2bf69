#include "history/HistoryQueries.h"

#include "history/HistorySchema.h"
#include "history/HistorySql.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace {
qint64 ceilDiv(qint64 value, qint64 unit) {
    return (value + unit - 1) / unit;
}

using Counts = QHash<QString, std::pair<qint64, qint64>>;

// Checks and successes of each page from fromMs on, by address, from the coarsest rows that fit:
// whole days, then whole hours, then single checks. A check in a maintenance window counts
// neither way: the page was allowed to be down. A page held for any other reason counts as usual.
QString successes(const QSqlDatabase& db, qint64 fromMs, Counts& counts) {
    using namespace HistorySchema;
    const qint64 firstDay = ceilDiv(fromMs, DayMs);
    const qint64 firstHour = ceilDiv(fromMs, HourMs);
    // Each part goes through its page's index; a page's rows are a handful, not a table.
    const QString statement =
        QStringLiteral("SELECT address, sum(up), sum(checks) FROM ("
                       " SELECT page, up - maintenance_up AS up, checks - maintenance AS checks FROM daily"
                       " WHERE page IN (SELECT id FROM pages) AND day >= ?"
                       " UNION ALL SELECT page, up - maintenance_up, checks - maintenance FROM hourly"
                       " WHERE page IN (SELECT id FROM pages) AND hour >= ? AND hour < ?"
                       " UNION ALL SELECT page, up AND held IS NOT ?, held IS NOT ? FROM checks"
                       " WHERE page IN (SELECT id FROM pages) AND time_ms >= ? AND time_ms < ?"
                       ") JOIN pages ON id = page GROUP BY page");
    const QString maintenance = QLatin1String(CheckRecord::Maintenance);
    QSqlQuery query(db);
    if (const QString failure = HistorySql::run(query, statement,
                                                {firstDay, firstHour, firstDay * (DayMs / HourMs),
                                                 maintenance, maintenance, fromMs, firstHour * HourMs});
        !failure.isEmpty())
        return failure;
    while (query.next())
        counts.insert(query.value(0).toString(), {query.value(1).toLongLong(), query.value(2).toLongLong()});
    return HistorySql::rowsFailure(query);
}
} // namespace

QString readMarks(const QSqlDatabase& db, QHash<QString, PageMark>& marks) {
    QSqlQuery query(db);
    if (const QString failure = HistorySql::run(
            query, QStringLiteral(
                       "SELECT address, status, failed_checks, alarmed FROM marks JOIN pages ON id = page"));
        !failure.isEmpty())
        return failure;
    while (query.next())
        marks.insert(query.value(0).toString(),
                     {query.value(1).toInt(), query.value(2).toInt(), query.value(3).toBool()});
    return HistorySql::rowsFailure(query);
}

QString readUptimes(const QSqlDatabase& db, qint64 nowMs, QHash<QString, Uptime>& uptimes) {
    for (const auto& [span, field] :
         {std::pair{qint64(1), &Uptime::day}, std::pair{qint64(30), &Uptime::month}}) {
        Counts counts;
        if (const QString failure = successes(db, nowMs - span * HistorySchema::DayMs, counts);
            !failure.isEmpty())
            return failure;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it->second > 0)
                uptimes[it.key()].*field = 100.0 * double(it->first) / double(it->second);
    }
    return {};
}
