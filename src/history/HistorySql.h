#pragma once

#include <QString>
#include <QVariant>
#include <initializer_list>

class QSqlQuery;

// The steps every reading of the history file takes, each with its failure in words.
namespace HistorySql {
// Prepares the statement on the query's connection, binds the values in order and runs it, to be
// read forward only. Returns why it failed; an empty text when its rows can be read.
QString run(QSqlQuery& query, const QString& statement, std::initializer_list<QVariant> values = {});
// Why the rows stopped before their end (next() says false for both); an empty text when they
// all came.
QString rowsFailure(const QSqlQuery& query);
} // namespace HistorySql
