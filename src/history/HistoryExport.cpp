#include "history/HistoryExport.h"

#include "history/HistoryReader.h"
#include "history/HistorySchema.h"
#include "history/HistorySql.h"

#include <QDateTime>
#include <QIODevice>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
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

struct Layout {
    const char* header;
    const char* select; // the time in ms first, then the fields as they are written
};

const Layout Checks{
    "time,address,outcome,code,ms,lookup_ms,connect_ms,tls_ms,first_byte_ms,error\r\n",
    "SELECT time_ms, address, outcome, code, ms, lookup_ms, connect_ms, tls_ms, first_byte_ms, error"
    " FROM checks JOIN pages ON id = page WHERE time_ms >= ? ORDER BY time_ms, checks.rowid"};
const Layout Hourly{
    "time,address,checks,up,down,min_ms,avg_ms,max_ms\r\n",
    "SELECT hour * 3600000, address, checks, up, down, min_ms, round(1.0 * total_ms / checks),"
    " max_ms FROM hourly JOIN pages ON id = page WHERE hour * 3600000 >= ? ORDER BY hour, address"};

QString writeRows(const QSqlDatabase& db, const Layout& layout, QIODevice& out, qint64 sinceMs) {
    QSqlQuery query(db);
    if (const QString failure = HistorySql::run(query, QString::fromLatin1(layout.select), {sinceMs});
        !failure.isEmpty())
        return failure;
    out.write(layout.header);
    const int fields = query.record().count();
    while (query.next()) {
        QByteArray line = field(utcTime(query.value(0).toLongLong()));
        for (int i = 1; i < fields; ++i) {
            const QVariant value = query.value(i);
            line += ',' + field(value.typeId() == QMetaType::QString ? value.toString() : number(value));
        }
        if (out.write(line + "\r\n") < 0)
            return out.errorString();
    }
    return HistorySql::rowsFailure(query);
}
} // namespace

QString exportHistory(const QString& historyFile, QIODevice& out, std::optional<int> sinceDays,
                      ExportRows rows) {
    HistoryReader reader(historyFile);
    if (const QString failure = reader.open(); !failure.isEmpty())
        return failure;
    const qint64 since =
        sinceDays ? QDateTime::currentMSecsSinceEpoch() - *sinceDays * HistorySchema::DayMs : 0;
    return writeRows(reader.database(), rows == ExportRows::Hourly ? Hourly : Checks, out, since);
}

QString exportHistoryTo(const QString& historyFile, const QString& file, std::optional<int> sinceDays,
                        ExportRows rows) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    if (const QString failure = exportHistory(historyFile, out, sinceDays, rows); !failure.isEmpty())
        return failure;
    return out.commit() ? QString() : out.errorString();
}
