#include "history/HistoryConnection.h"

#include <QSqlDatabase>

HistoryConnection::HistoryConnection() : name_(QStringLiteral("history-%1").arg(quintptr(this))) {}

HistoryConnection::~HistoryConnection() {
    if (!QSqlDatabase::contains(name_))
        return;
    database().close();
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase HistoryConnection::database() const {
    return QSqlDatabase::database(name_, false);
}

QSqlDatabase HistoryConnection::open(const QString& path, const QString& options) {
    QSqlDatabase db =
        QSqlDatabase::contains(name_) ? database() : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.close();
    db.setDatabaseName(path);
    db.setConnectOptions(options);
    db.open();
    return db;
}
