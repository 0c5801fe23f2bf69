#include "history/HistorySchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// Addresses are kept once, in "pages", and every other table names the page by its number: that
// keeps a year of checks of a page within half a megabyte. "hourly" and "daily" are kept up to
// date as checks arrive, so uptime over a month is a sum of a few rows; older raw checks are
// only ever dropped from them. These are the tables as the second version made them; later
// versions add to them.
const char* const Tables[] = {
    "CREATE TABLE pages (id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE)",
    "CREATE TABLE checks (time_ms INTEGER NOT NULL, page INTEGER NOT NULL, outcome TEXT NOT NULL,"
    " up INTEGER NOT NULL, code INTEGER NOT NULL, ms INTEGER NOT NULL, lookup_ms INTEGER, connect_ms INTEGER,"
    " tls_ms INTEGER, first_byte_ms INTEGER, error TEXT NOT NULL)",
    "CREATE INDEX checks_by_page ON checks (page, time_ms)",
    "CREATE TABLE hourly (page INTEGER NOT NULL, hour INTEGER NOT NULL, checks INTEGER NOT NULL,"
    " up INTEGER NOT NULL, down INTEGER NOT NULL, min_ms INTEGER NOT NULL, total_ms INTEGER NOT NULL,"
    " max_ms INTEGER NOT NULL, PRIMARY KEY (page, hour)) WITHOUT ROWID",
    "CREATE TABLE daily (page INTEGER NOT NULL, day INTEGER NOT NULL, checks INTEGER NOT NULL,"
    " up INTEGER NOT NULL, down INTEGER NOT NULL, min_ms INTEGER NOT NULL, total_ms INTEGER NOT NULL,"
    " max_ms INTEGER NOT NULL, PRIMARY KEY (page, day)) WITHOUT ROWID",
    "CREATE TABLE outages (page INTEGER NOT NULL, start_ms INTEGER NOT NULL, end_ms INTEGER,"
    " reason TEXT NOT NULL)",
    "CREATE INDEX outages_by_page ON outages (page, start_ms)",
    "CREATE TABLE marks (page INTEGER PRIMARY KEY, status INTEGER NOT NULL, failed_checks INTEGER NOT NULL,"
    " alarmed INTEGER NOT NULL)",
};

const char* const EventsTable = "CREATE TABLE events (time_ms INTEGER NOT NULL, kind TEXT NOT NULL)";

// The first version kept each check's address in its row and had no summaries.
const char* const FromVersionOne[] = {
    "ALTER TABLE checks RENAME TO checks_one",
};
const char* const FillFromVersionOne[] = {
    "INSERT INTO pages (address) SELECT DISTINCT address FROM checks_one",
    "INSERT INTO checks SELECT time_ms, pages.id, outcome, error = '' AND code < 400, code, ms, lookup_ms,"
    " connect_ms, tls_ms, first_byte_ms, error FROM checks_one JOIN pages ON pages.address = checks_one.address"
    " ORDER BY checks_one.rowid",
    "INSERT INTO hourly SELECT page, time_ms / 3600000, count(*), sum(up), count(*) - sum(up), min(ms), sum(ms),"
    " max(ms) FROM checks GROUP BY page, time_ms / 3600000",
    "INSERT INTO daily SELECT page, time_ms / 86400000, count(*), sum(up), count(*) - sum(up), min(ms), sum(ms),"
    " max(ms) FROM checks GROUP BY page, time_ms / 86400000",
    "DROP TABLE checks_one",
};

// The third version keeps why a check's alarms were held, and how many checks of an hour or a day
// were held for maintenance, which uptime leaves out. Nothing is held in an older file: NULL and 0
// are right for every row it has, and a check that was not held costs a byte.
const char* const ToVersionThree[] = {
    "ALTER TABLE checks ADD COLUMN held TEXT",
    "ALTER TABLE hourly ADD COLUMN maintenance INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE hourly ADD COLUMN maintenance_up INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE daily ADD COLUMN maintenance INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE daily ADD COLUMN maintenance_up INTEGER NOT NULL DEFAULT 0",
};

template <std::size_t N> bool run(QSqlQuery& query, const char* const (&statements)[N]) {
    for (const char* statement : statements)
        if (!query.exec(QString::fromLatin1(statement)))
            return false;
    return true;
}

bool steps(QSqlQuery& query, int version) {
    if (version == 0 && !query.exec(QString::fromLatin1(EventsTable)))
        return false;
    if (version == 1 && !run(query, FromVersionOne))
        return false;
    if (version < 2 && !run(query, Tables))
        return false;
    if (version == 1 && !run(query, FillFromVersionOne))
        return false;
    if (version < 3 && !run(query, ToVersionThree))
        return false;
    return query.exec(QStringLiteral("PRAGMA user_version = %1").arg(HistorySchema::Version));
}
} // namespace

QSqlError HistorySchema::update(QSqlDatabase& db, int version) {
    if (!db.transaction())
        return db.lastError();
    QSqlQuery query(db);
    if (!steps(query, version)) {
        const QSqlError failure = query.lastError();
        db.rollback();
        return failure;
    }
    return db.commit() ? QSqlError() : db.lastError();
}
