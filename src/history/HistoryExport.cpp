#include "history/HistoryExport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIODevice>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
QByteArray field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    return '"' + bytes.replace('"', "\"\"") + '"';
}

QString utcTime(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString number(const QVariant& value) {
    return value.isNull() ? QString() : QString::number(value.toLongLong());
}

QString writeChecks(QSqlDatabase& db, QIODevice& out, std::optional<int> sinceDays) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT time_ms, address, outcome, code, ms, lookup_ms, connect_ms, tls_ms,"
                                 " first_byte_ms, error FROM checks WHERE time_ms >= ? ORDER BY time_ms, rowid"));
    query.addBindValue(sinceDays ? QDateTime::currentMSecsSinceEpoch() - qint64(*sinceDays) * 86400000 : 0);
    if (!query.exec())
        return query.lastError().text();
    out.write("time,address,outcome,code,ms,lookup_ms,connect_ms,tls_ms,first_byte_ms,error\r\n");
    while (query.next()) {
        QByteArray line = field(utcTime(query.value(0).toLongLong()));
        for (const QString& text :
             {query.value(1).toString(), query.value(2).toString(), number(query.value(3)), number(query.value(4)),
              number(query.value(5)), number(query.value(6)), number(query.value(7)), number(query.value(8)),
              query.value(9).toString()})
            line += ',' + field(text);
        if (out.write(line + "\r\n") < 0)
            return out.errorString();
    }
    return query.lastError().isValid() ? query.lastError().text() : QString();
}
} // namespace

QString exportHistory(const QString& historyFile, QIODevice& out, std::optional<int> sinceDays) {
    // Opening would make an empty file where there is none.
    if (!QFileInfo(historyFile).isFile())
        return QStringLiteral("there is no history at %1").arg(historyFile);
    const QString connection = QStringLiteral("history-export-%1").arg(quintptr(&out));
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(historyFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        failure = db.open() ? writeChecks(db, out, sinceDays) : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return failure;
}
