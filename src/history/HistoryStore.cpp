#include "history/HistoryStore.h"

#include "history/HistoryFile.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
const char* const SchemaOne[] = {
    "CREATE TABLE checks (time_ms INTEGER NOT NULL, address TEXT NOT NULL, outcome TEXT NOT NULL,"
    " code INTEGER NOT NULL, ms INTEGER NOT NULL, lookup_ms INTEGER, connect_ms INTEGER, tls_ms INTEGER,"
    " first_byte_ms INTEGER, error TEXT NOT NULL)",
    "CREATE INDEX checks_by_time ON checks (time_ms)",
    "CREATE INDEX checks_by_address ON checks (address, time_ms)",
    "CREATE TABLE events (time_ms INTEGER NOT NULL, kind TEXT NOT NULL)",
    "PRAGMA user_version = 1",
};

// SQLite's own numbers for a file that is not a database, or a damaged one.
bool damaged(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 11 || code == 26;
}

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

QVariant phase(const std::optional<qint64>& ms) {
    return ms ? QVariant(*ms) : QVariant(QMetaType(QMetaType::LongLong));
}
} // namespace

HistoryStore::HistoryStore(const QString& path, NotKept notKept)
    : path_(path), connection_(QStringLiteral("history-%1").arg(quintptr(this))), notKept_(std::move(notKept)) {}

void HistoryStore::open() {
    Failure failure = tryOpen();
    // A damaged file goes aside, untouched, and the history begins anew.
    if (failure.trouble == Trouble::Damaged && setAside())
        failure = tryOpen();
    if (failure.trouble == Trouble::None)
        kept_ = true;
    else
        stop(failure.reason);
}

HistoryStore::~HistoryStore() {
    if (!QSqlDatabase::contains(connection_))
        return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

QString HistoryStore::asideName(const QString& path) {
    return path + QStringLiteral(".corrupt-") +
           QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

HistoryStore::Failure HistoryStore::failureOf(const QSqlQuery& query) const {
    const QSqlError error = query.lastError();
    return {damaged(error) ? Trouble::Damaged : Trouble::Other, error.text()};
}

HistoryStore::Failure HistoryStore::tryOpen() {
    QSqlDatabase db = QSqlDatabase::contains(connection_) ? QSqlDatabase::database(connection_, false)
                                                           : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    // Another program holding the file gets a moment to let go.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open())
        return {Trouble::Other, db.lastError().text()};
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failureOf(query);
    const int version = query.value(0).toInt();
    if (version > SchemaVersion)
        return {Trouble::Other, QStringLiteral("%1 was written by a newer Korvane").arg(path_)};
    // WAL: the cycle being written never blocks an export, and a kill never damages the file.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return failureOf(query);
    return version < SchemaVersion ? migrate() : Failure{};
}

// From an empty file to this version, in one transaction: a half-made file never stays.
HistoryStore::Failure HistoryStore::migrate() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction())
        return {Trouble::Other, db.lastError().text()};
    QSqlQuery query(db);
    for (const char* statement : SchemaOne)
        if (!query.exec(QString::fromLatin1(statement))) {
            const Failure failure = failureOf(query);
            db.rollback();
            return failure;
        }
    if (!db.commit())
        return {Trouble::Other, db.lastError().text()};
    return {};
}

bool HistoryStore::setAside() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    const QString aside = asideName(path_);
    if (!QFile::rename(path_, aside))
        return false;
    // Its journal belongs with it, under the same new name.
    for (const char* part : {"-wal", "-shm"})
        if (QFile::exists(path_ + QLatin1String(part)))
            QFile::rename(path_ + QLatin1String(part), aside + QLatin1String(part));
    return true;
}

void HistoryStore::stop(const QString& reason) {
    kept_ = false;
    cycle_.clear();
    QSqlDatabase::database(connection_, false).close();
    if (notKept_)
        notKept_(reason);
}

QString HistoryStore::writeEvent(qint64 timeMs, const QString& kind) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("INSERT INTO events (time_ms, kind) VALUES (?, ?)"));
    query.addBindValue(timeMs);
    query.addBindValue(kind);
    return query.exec() ? QString() : failureOf(query).reason;
}

void HistoryStore::event(const QString& kind) {
    if (!kept_)
        return;
    if (const QString failure = writeEvent(nowMs(), kind); !failure.isEmpty())
        stop(failure);
}

void HistoryStore::programStarted() {
    event(QStringLiteral("program start"));
}

void HistoryStore::programEnded() {
    event(QStringLiteral("program end"));
}

void HistoryStore::cycleStarted() {
    cycleStartMs_ = nowMs();
    cycle_.clear();
}

void HistoryStore::record(const CheckRecord& check) {
    if (!kept_)
        return;
    cycle_.append(withoutPassword(check));
}

void HistoryStore::cycleEnded() {
    if (!kept_)
        return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QString failure = db.transaction() ? writeCycle() : db.lastError().text();
    if (failure.isEmpty() && !db.commit())
        failure = db.lastError().text();
    cycle_.clear();
    if (!failure.isEmpty()) {
        db.rollback();
        stop(failure);
    }
}

QString HistoryStore::writeCycle() {
    if (const QString failure = writeEvent(cycleStartMs_, QStringLiteral("cycle start")); !failure.isEmpty())
        return failure;
    QSqlQuery insert(QSqlDatabase::database(connection_, false));
    insert.prepare(QStringLiteral("INSERT INTO checks (time_ms, address, outcome, code, ms, lookup_ms, connect_ms,"
                                  " tls_ms, first_byte_ms, error) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const CheckRecord& check : std::as_const(cycle_)) {
        for (const QVariant& value :
             {QVariant(check.timeMs), QVariant(check.address), QVariant(check.outcome), QVariant(check.code),
              QVariant(check.ms), phase(check.lookupMs), phase(check.connectMs), phase(check.tlsMs),
              phase(check.firstByteMs), QVariant(check.error.isNull() ? QStringLiteral("") : check.error)})
            insert.addBindValue(value);
        if (!insert.exec())
            return failureOf(insert).reason;
    }
    return writeEvent(nowMs(), QStringLiteral("cycle end"));
}
