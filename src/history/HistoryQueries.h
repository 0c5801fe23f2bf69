#pragma once

#include "history/CheckRecord.h"

#include <QHash>
#include <QString>
#include <optional>

class QSqlDatabase;

// The share of a page's checks that succeeded over the last day and the last 30 days, in
// percent, leaving out the checks in maintenance windows; none where there was no other check.
struct Uptime {
    std::optional<double> day;
    std::optional<double> month;
};

// Where each page stood after its last check, by address, into marks. Returns why they cannot be
// read; an empty text when they were.
QString readMarks(const QSqlDatabase& db, QHash<QString, PageMark>& marks);
// Each page's uptime as of nowMs, by address, into uptimes. Returns why they cannot be read; an
// empty text when they were.
QString readUptimes(const QSqlDatabase& db, qint64 nowMs, QHash<QString, Uptime>& uptimes);
