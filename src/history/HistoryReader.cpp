#include "history/HistoryReader.h"

#include "history/HistorySchema.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

HistoryReader::HistoryReader(const QString& path) : path_(path) {}

QSqlDatabase HistoryReader::database() const {
    return connection_.database();
}

QString HistoryReader::open() {
    // Opening would make an empty file where there is none.
    if (!QFileInfo(path_).isFile())
        return QStringLiteral("there is no history at %1").arg(path_);
    QSqlDatabase db = connection_.open(path_, QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.isOpen())
        return db.lastError().text();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return query.lastError().text();
    // Only the monitor writes the file, so only it brings an older one up to date.
    if (const int version = query.value(0).toInt(); version < HistorySchema::Version)
        return QStringLiteral("%1 was written by an older Korvane; start the monitor once to bring it up to date")
            .arg(path_);
    else if (version > HistorySchema::Version)
        return QStringLiteral("%1 was written by a newer Korvane").arg(path_);
    return {};
}
