#pragma once

#include <QList>
#include <QString>
#include <optional>

class QSqlDatabase;

// One page's history over a stretch of time, as a chart and a list of outages show it.
struct HistorySeries {
    struct Point {
        qint64 timeMs = 0;
        qint64 ms = 0;  // the check's time, or the average of the hour's or day's checks
        bool up = true; // for an hour or a day: none of its checks failed
        // The check was in a maintenance window; for an hour or a day: one of its checks was.
        bool maintenance = false;
    };
    struct Span {
        qint64 startMs = 0;
        std::optional<qint64> endMs; // none while it lasts
        QString reason;
    };

    qint64 fromMs = 0; // the range's start, or the history's when that is later
    qint64 toMs = 0;
    qint64 stepMs = 0; // 0: single checks; else the width of an hour or a day
    QList<Point> points;
    QList<Span> outages;
    // The stretches of the points in maintenance windows, each from its first point to the point
    // after its last, or to the end of its last hour or day when that comes first.
    QList<Span> maintenance;
    // When Korvane itself was not running.
    QList<Span> notMonitored;
};

// The series, into series, from the coarsest rows that still show the stretch well: single checks
// for a day, hours up to a month, days beyond. It starts at fromMs, or where the history begins
// when that is later. Returns why it cannot be read; an empty text when it was.
QString readSeries(const QSqlDatabase& db, const QString& address, qint64 fromMs, qint64 toMs,
                   HistorySeries& series);
