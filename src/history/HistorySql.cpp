#include "history/HistorySql.h"

#include <QSqlError>
#include <QSqlQuery>

QString HistorySql::run(QSqlQuery& query, const QString& statement, std::initializer_list<QVariant> values) {
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return query.lastError().text();
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec() ? QString() : query.lastError().text();
}

QString HistorySql::rowsFailure(const QSqlQuery& query) {
    return query.lastError().isValid() ? query.lastError().text() : QString();
}
