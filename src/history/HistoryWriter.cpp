#include "history/HistoryWriter.h"

#include "history/HistorySchema.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
constexpr int HourlyDays = 400;

// SQLite's own numbers for a file that is not a database, or a damaged one.
bool damaged(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 11 || code == 26;
}

QVariant phase(const std::optional<qint64>& ms) {
    return ms ? QVariant(*ms) : QVariant(QMetaType(QMetaType::LongLong));
}

QString failureOf(const QSqlQuery& query) {
    return query.lastError().text();
}

bool execute(QSqlQuery& query, std::initializer_list<QVariant> values) {
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec();
}

const char* const Summary = "INSERT INTO %1 VALUES (?, ?, 1, ?, ?, ?, ?, ?) ON CONFLICT DO UPDATE SET"
                            " checks = checks + 1, up = up + excluded.up, down = down + excluded.down,"
                            " min_ms = min(min_ms, excluded.min_ms), total_ms = total_ms + excluded.total_ms,"
                            " max_ms = max(max_ms, excluded.max_ms)";
} // namespace

// Prepared once for the life of the connection: a cycle of a thousand pages runs each a thousand
// times.
struct HistoryWriter::Statements {
    explicit Statements(const QSqlDatabase& db)
        : event(db), check(db), hourly(db), daily(db), mark(db), outageStart(db), outageEnd(db), page(db) {
        event.prepare(QStringLiteral("INSERT INTO events (time_ms, kind) VALUES (?, ?)"));
        check.prepare(QStringLiteral("INSERT INTO checks VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        hourly.prepare(QString::fromLatin1(Summary).arg(QLatin1String("hourly")));
        daily.prepare(QString::fromLatin1(Summary).arg(QLatin1String("daily")));
        mark.prepare(QStringLiteral("INSERT OR REPLACE INTO marks VALUES (?, ?, ?, ?)"));
        outageStart.prepare(QStringLiteral("INSERT INTO outages VALUES (?, ?, NULL, ?)"));
        outageEnd.prepare(QStringLiteral("UPDATE outages SET end_ms = ? WHERE page = ? AND end_ms IS NULL"));
        page.prepare(QStringLiteral("INSERT INTO pages (address) VALUES (?)"));
    }
    QSqlQuery event, check, hourly, daily, mark, outageStart, outageEnd, page;
};

HistoryWriter::HistoryWriter(const QString& path) : path_(path) {}

HistoryWriter::~HistoryWriter() = default;

QSqlDatabase HistoryWriter::database() const {
    return connection_.database();
}

QString HistoryWriter::asideName(const QString& path) {
    return path + QStringLiteral(".corrupt-") +
           QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

QString HistoryWriter::open() {
    QSqlError failure = tryOpen();
    // A damaged file goes aside, untouched, and the history begins anew.
    if (damaged(failure) && setAside())
        failure = tryOpen();
    QString reason = failure.isValid() ? failure.text() : load();
    if (reason.isEmpty())
        reason = closeLostRun();
    if (!reason.isEmpty()) {
        statements_.reset();
        database().close();
    }
    return reason;
}

QSqlError HistoryWriter::tryOpen() {
    // Another program holding the file gets a moment to let go.
    QSqlDatabase db = connection_.open(path_, QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.isOpen())
        return db.lastError();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return query.lastError();
    const int version = query.value(0).toInt();
    if (version > HistorySchema::Version)
        return QSqlError(QStringLiteral("%1 was written by a newer Korvane").arg(path_), {}, QSqlError::UnknownError);
    // WAL: the cycle being written never blocks a reader, and a kill never damages the file.
    // The journal is cut back to a megabyte after each checkpoint, so it never keeps the size
    // of the busiest moment.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")) ||
        !query.exec(QStringLiteral("PRAGMA journal_size_limit = 1048576")))
        return query.lastError();
    return version < HistorySchema::Version ? HistorySchema::update(db, version) : QSqlError();
}

bool HistoryWriter::setAside() {
    database().close();
    const QString aside = asideName(path_);
    if (!QFile::rename(path_, aside))
        return false;
    // Its journal belongs with it, under the same new name.
    for (const char* part : {"-wal", "-shm"})
        if (QFile::exists(path_ + QLatin1String(part)))
            QFile::rename(path_ + QLatin1String(part), aside + QLatin1String(part));
    return true;
}

// The pages known and the outages still open, so that a check needs no reading.
QString HistoryWriter::load() {
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, address FROM pages")))
        return failureOf(query);
    while (query.next())
        pageIds_.insert(query.value(1).toString(), query.value(0).toLongLong());
    if (!query.exec(QStringLiteral("SELECT page FROM outages WHERE end_ms IS NULL")))
        return failureOf(query);
    while (query.next())
        openOutages_.insert(query.value(0).toLongLong());
    statements_ = std::make_unique<Statements>(database());
    return {};
}

// A run that was killed wrote no end; it ended at the last sign of life it left, and the time
// since counts as not monitored.
QString HistoryWriter::closeLostRun() {
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("SELECT time_ms, kind FROM events ORDER BY rowid DESC LIMIT 1")))
        return failureOf(query);
    if (!query.next() || query.value(1).toString() == QLatin1String("program end"))
        return {};
    return writeEvent(query.value(0).toLongLong(), QStringLiteral("program end"));
}

QString HistoryWriter::writeEvent(qint64 timeMs, const QString& kind) {
    return execute(statements_->event, {timeMs, kind}) ? QString() : failureOf(statements_->event);
}

qint64 HistoryWriter::pageId(const QString& address) {
    if (const auto known = pageIds_.constFind(address); known != pageIds_.cend())
        return *known;
    if (!execute(statements_->page, {address}))
        return -1;
    const qint64 id = statements_->page.lastInsertId().toLongLong();
    pageIds_.insert(address, id);
    return id;
}

QString HistoryWriter::writeCheck(const CheckRecord& c) {
    const qint64 page = pageId(c.address);
    if (page < 0)
        return failureOf(statements_->page);
    Statements& s = *statements_;
    if (!execute(s.check, {c.timeMs, page, c.outcome, int(c.up), c.code, c.ms, phase(c.lookupMs), phase(c.connectMs),
                           phase(c.tlsMs), phase(c.firstByteMs), c.error.isNull() ? QStringLiteral("") : c.error}))
        return failureOf(s.check);
    for (auto [summary, bucket] : {std::pair{&s.hourly, HistorySchema::HourMs}, std::pair{&s.daily, HistorySchema::DayMs}})
        if (!execute(*summary, {page, c.timeMs / bucket, int(c.up), int(!c.up), c.ms, c.ms, c.ms}))
            return failureOf(*summary);
    if (!execute(s.mark, {page, c.mark.status, c.mark.failedChecks, int(c.mark.alarmed)}))
        return failureOf(s.mark);
    // An outage runs from the first failed check to the next one that succeeds.
    if (!c.up && !openOutages_.contains(page)) {
        if (!execute(s.outageStart, {page, c.timeMs, c.error.isEmpty() ? c.outcome : c.error}))
            return failureOf(s.outageStart);
        openOutages_.insert(page);
    } else if (c.up && openOutages_.remove(page)) {
        if (!execute(s.outageEnd, {c.timeMs, page}))
            return failureOf(s.outageEnd);
    }
    return {};
}

QString HistoryWriter::writeCycle(const Cycle& cycle) {
    QSqlDatabase db = database();
    QString failure = db.transaction() ? writeEvent(cycle.startMs, QStringLiteral("cycle start")) : db.lastError().text();
    for (const CheckRecord& check : cycle.checks)
        if (failure.isEmpty())
            failure = writeCheck(check);
    if (failure.isEmpty())
        failure = writeEvent(cycle.endMs, QStringLiteral("cycle end"));
    if (failure.isEmpty() && !db.commit())
        failure = db.lastError().text();
    if (!failure.isEmpty()) {
        db.rollback();
        return failure;
    }
    return cycle.endMs - lastFoldMs_ >= HistorySchema::HourMs ? fold(cycle.endMs, cycle.rawDays) : QString();
}

QString HistoryWriter::fold(qint64 nowMs, int rawDays) {
    lastFoldMs_ = nowMs;
    QSqlDatabase db = database();
    if (!db.transaction())
        return db.lastError().text();
    QSqlQuery query(db);
    const qint64 rawSince = nowMs - rawDays * HistorySchema::DayMs;
    // Through each page's index, so the fold reads only what it drops.
    const std::pair<const char*, qint64> drops[] = {
        {"DELETE FROM checks WHERE page IN (SELECT id FROM pages) AND time_ms < ?", rawSince},
        {"DELETE FROM hourly WHERE page IN (SELECT id FROM pages) AND hour < ?",
         (nowMs - HourlyDays * HistorySchema::DayMs) / HistorySchema::HourMs},
        // A cycle's start and end matter only beside its checks; a run's start and end stay.
        {"DELETE FROM events WHERE kind IN ('cycle start', 'cycle end') AND time_ms < ?", rawSince},
    };
    for (const auto& [statement, since] : drops) {
        query.prepare(QString::fromLatin1(statement));
        if (!execute(query, {since})) {
            const QString failure = failureOf(query);
            db.rollback();
            return failure;
        }
    }
    return db.commit() ? QString() : db.lastError().text();
}
