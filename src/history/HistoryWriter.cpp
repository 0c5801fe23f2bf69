#include "history/HistoryWriter.h"

#include "history/HistorySchema.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
constexpr int HourlyDays = 400;
// How long the opening and each write wait for another program that holds the file.
constexpr int BusyWaitMs = 2000;

QStringList journals(const QString& path) {
    return {path + QStringLiteral("-wal"), path + QStringLiteral("-shm")};
}

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

// Runs work in one transaction, so that all of it is kept or none. Returns why not.
QString inTransaction(QSqlDatabase& db, const std::function<QString()>& work) {
    // A transaction left open by a rollback that failed would keep every later one from
    // beginning; it is ended first.
    if (!db.transaction() && !(db.rollback() && db.transaction()))
        return db.lastError().text();
    QString failure = work();
    if (failure.isEmpty() && db.commit())
        return {};
    if (failure.isEmpty())
        failure = db.lastError().text();
    // After some failures SQLite has rolled back already, and this one fails harmlessly; any other
    // failure is dealt with where the next transaction begins.
    db.rollback();
    return failure;
}

bool execute(QSqlQuery& query, std::initializer_list<QVariant> values) {
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec();
}

const char* const Summary = "INSERT INTO %1 VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO UPDATE SET"
                            " checks = checks + 1, up = up + excluded.up, down = down + excluded.down,"
                            " min_ms = min(min_ms, excluded.min_ms), total_ms = total_ms + excluded.total_ms,"
                            " max_ms = max(max_ms, excluded.max_ms),"
                            " maintenance = maintenance + excluded.maintenance,"
                            " maintenance_up = maintenance_up + excluded.maintenance_up";

// A check that was not held keeps NULL, which costs a byte.
QVariant held(const QString& reason) {
    return reason.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(reason);
}
} // namespace

// Prepared once for the life of the connection: a cycle of a thousand pages runs each a thousand
// times.
struct HistoryWriter::Statements {
    explicit Statements(const QSqlDatabase& db)
        : event(db), check(db), hourly(db), daily(db), mark(db), outageStart(db), outageEnd(db), page(db) {}

    // Returns why one of them cannot be prepared; an empty text when all are.
    QString prepare() {
        const std::pair<QSqlQuery*, QString> statements[] = {
            {&event, QStringLiteral("INSERT INTO events (time_ms, kind) VALUES (?, ?)")},
            {&check, QStringLiteral("INSERT INTO checks VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")},
            {&hourly, QString::fromLatin1(Summary).arg(QLatin1String("hourly"))},
            {&daily, QString::fromLatin1(Summary).arg(QLatin1String("daily"))},
            {&mark, QStringLiteral("INSERT OR REPLACE INTO marks VALUES (?, ?, ?, ?)")},
            {&outageStart, QStringLiteral("INSERT INTO outages VALUES (?, ?, NULL, ?)")},
            {&outageEnd, QStringLiteral("UPDATE outages SET end_ms = ? WHERE page = ? AND end_ms IS NULL")},
            {&page, QStringLiteral("INSERT INTO pages (address) VALUES (?)")},
        };
        for (const auto& [query, statement] : statements)
            if (!query->prepare(statement))
                return failureOf(*query);
        return {};
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
    if (const QString journal = strayJournal(); !journal.isEmpty())
        return QStringLiteral(
                   "%1 is missing but its journal %2 is still there; move it away to begin a new history")
            .arg(path_, journal);
    matchJournalsToFile();
    QSqlError failure = tryOpen();
    QString reason;
    // A damaged file goes aside, untouched, and the history begins anew.
    if (damaged(failure)) {
        reason = setAside();
        if (reason.isEmpty())
            failure = tryOpen();
    }
    if (reason.isEmpty())
        reason = failure.isValid() ? failure.text() : load();
    if (reason.isEmpty())
        reason = closeLostRun();
    if (!reason.isEmpty()) {
        statements_.reset();
        database().close();
    }
    return reason;
}

// SQLite makes the journals with the file's permissions: a file that was read-only leaves
// read-only journals behind, which would keep the history off once the file is writable again.
void HistoryWriter::matchJournalsToFile() const {
    const QFileInfo file(path_);
    if (!file.isWritable())
        return;
    for (const QString& journal : journals(path_))
        if (const QFileInfo info(journal); info.isFile() && !info.isWritable())
            QFile::setPermissions(journal, file.permissions());
}

// A new file beside an old journal would be read through that journal, and damaged by it.
QString HistoryWriter::strayJournal() const {
    if (QFileInfo::exists(path_))
        return {};
    for (const QString& journal : journals(path_))
        if (QFileInfo::exists(journal))
            return journal;
    return {};
}

QSqlError HistoryWriter::tryOpen() {
    QSqlDatabase db = connection_.open(path_, QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyWaitMs));
    if (!db.isOpen())
        return db.lastError();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return query.lastError();
    const int version = query.value(0).toInt();
    if (version > HistorySchema::Version)
        return QSqlError(QStringLiteral("%1 was written by a newer Korvane").arg(path_), {},
                         QSqlError::UnknownError);
    // WAL: the cycle being written never blocks a reader, and a kill never damages the file.
    // The journal is cut back to a megabyte after each checkpoint, so it never keeps the size
    // of the busiest moment.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")) ||
        !query.exec(QStringLiteral("PRAGMA journal_size_limit = 1048576")))
        return query.lastError();
    return version < HistorySchema::Version ? HistorySchema::update(db, version) : QSqlError();
}

// The file and its journals go together or not at all: a journal left behind would be taken
// for the new file's own. Only plain files are moved; anything else under a journal's name is
// not SQLite's, and not ours to move.
QString HistoryWriter::setAside() {
    database().close();
    QStringList parts{path_};
    for (const QString& journal : journals(path_))
        if (QFileInfo::exists(journal))
            parts.append(journal);
    const auto cannot = [this](const QString& why) {
        return QStringLiteral("%1 is damaged and cannot be moved aside: %2").arg(path_, why);
    };
    for (const QString& part : parts)
        if (!QFileInfo(part).isFile())
            return cannot(QStringLiteral("%1 is not a file").arg(part));
    const QString aside = asideName(path_);
    setAsideAs_ = aside;
    const auto asideOf = [&](const QString& part) { return aside + part.mid(path_.size()); };
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QFile part(parts[i]);
        if (part.rename(asideOf(parts[i])))
            continue;
        setAsideAs_.clear();
        QString reason = cannot(part.errorString());
        while (--i >= 0)
            if (!QFile::rename(asideOf(parts[i]), parts[i]))
                reason += QStringLiteral("; %1 is left at %2").arg(parts[i], asideOf(parts[i]));
        return reason;
    }
    return {};
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
    return statements_->prepare();
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
    if (!execute(s.check, {c.timeMs, page, c.outcome, int(c.up), c.code, c.ms, phase(c.lookupMs),
                           phase(c.connectMs), phase(c.tlsMs), phase(c.firstByteMs),
                           c.error.isNull() ? QStringLiteral("") : c.error, held(c.held)}))
        return failureOf(s.check);
    const bool maintenance = c.held == QLatin1String(CheckRecord::Maintenance);
    for (auto [summary, bucket] :
         {std::pair{&s.hourly, HistorySchema::HourMs}, std::pair{&s.daily, HistorySchema::DayMs}})
        if (!execute(*summary, {page, c.timeMs / bucket, int(c.up), int(!c.up), c.ms, c.ms, c.ms,
                                int(maintenance), int(maintenance && c.up)}))
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
    // What is known of the file changes with the rows; a cycle rolled back must leave neither
    // behind, or its next try would name a page that is not there.
    const QHash<QString, qint64> pageIds = pageIds_;
    const QSet<qint64> openOutages = openOutages_;
    QSqlDatabase db = database();
    const QString failure = inTransaction(db, [&] {
        QString failure = writeEvent(cycle.startMs, QStringLiteral("cycle start"));
        for (const CheckRecord& check : cycle.checks)
            if (failure.isEmpty())
                failure = writeCheck(check);
        return failure.isEmpty() ? writeEvent(cycle.endMs, QStringLiteral("cycle end")) : failure;
    });
    if (!failure.isEmpty()) {
        pageIds_ = pageIds;
        openOutages_ = openOutages;
        return failure;
    }
    // The cycle is in the file whatever becomes of the fold.
    if (cycle.endMs - lastFoldMs_ >= HistorySchema::HourMs && fold(cycle.endMs, cycle.rawDays).isEmpty())
        lastFoldMs_ = cycle.endMs;
    return {};
}

QString HistoryWriter::writeMarks(const QHash<QString, PageMark>& marks) {
    const QHash<QString, qint64> pageIds = pageIds_;
    QSqlDatabase db = database();
    const QString failure = inTransaction(db, [&] {
        for (auto mark = marks.cbegin(); mark != marks.cend(); ++mark) {
            const qint64 page = pageId(mark.key());
            if (page < 0)
                return failureOf(statements_->page);
            if (!execute(statements_->mark, {page, mark->status, mark->failedChecks, int(mark->alarmed)}))
                return failureOf(statements_->mark);
        }
        return QString();
    });
    if (!failure.isEmpty())
        pageIds_ = pageIds;
    return failure;
}

QString HistoryWriter::fold(qint64 nowMs, int rawDays) {
    QSqlDatabase db = database();
    return inTransaction(db, [&] {
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
        for (const auto& [statement, since] : drops)
            if (!query.prepare(QString::fromLatin1(statement)) || !execute(query, {since}))
                return failureOf(query);
        return QString();
    });
}
