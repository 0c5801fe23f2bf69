// What keeping the history costs: handing a cycle's checks over (on the window's thread) and
// writing them (on the history's own), the file's size a check and after a simulated year,
// opening a file that holds many, reading uptimes, and exporting. Prints figures; never fails
// on them.
#include "history/HistoryExport.h"
#include "history/HistoryQueries.h"
#include "history/HistoryReader.h"
#include "history/HistorySeries.h"
#include "history/HistoryStore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {
constexpr int Pages = 500;
constexpr int Cycles = 40;

double ms(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

qint64 fileBytes(const QString& path) {
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

// A year of one check a minute, written through the store and its hourly fold with the clock
// running a simulated hour a cycle. Prints the file's size a page, and how long reading every
// page's uptime takes from it.
void simulatedYear(const QString& path) {
    constexpr int YearPages = 5;
    constexpr qint64 HourMs = 3600000;
    const qint64 end = QDateTime::currentMSecsSinceEpoch() / HourMs * HourMs;
    std::atomic<qint64> now = end - 365 * 24 * HourMs;
    QElapsedTimer clock;
    clock.start();
    {
        HistoryStore store(
            path, [](const QString& why) { std::printf("history not kept: %s\n", qPrintable(why)); });
        store.setClock([&now] { return now.load(); });
        store.open();
        for (int hour = 0; now < end; ++hour) {
            store.cycleStarted();
            for (int minute = 0; minute < 60; ++minute)
                for (int page = 0; page < YearPages; ++page) {
                    CheckRecord check;
                    check.timeMs = now + minute * 60000 + page;
                    check.address = QStringLiteral("https://www.example%1.com/shop/index.html").arg(page);
                    // Down for three minutes once a day.
                    check.up = hour % 24 != 3 || minute >= 3;
                    check.outcome = check.up ? QStringLiteral("No Error") : QStringLiteral("Time Out");
                    check.code = check.up ? 200 : 0;
                    check.ms = 80 + (minute * 7 + page) % 120;
                    check.connectMs = 20;
                    check.tlsMs = 30;
                    check.firstByteMs = 25;
                    check.error = check.up ? QString() : QStringLiteral("TimedOut");
                    check.mark.status = check.up ? 3 : 5;
                    store.record(check);
                }
            now += HourMs;
            store.cycleEnded(2);
            // The writer keeps up with a day at a time.
            if (hour % 24 == 23)
                store.flush();
        }
    }
    std::printf("a simulated year of one check a minute (%d pages): %.2f MB a page, of it %.2f MB journal "
                "(written in "
                "%.0f s)\n",
                YearPages, double(fileBytes(path)) / YearPages / 1e6,
                double(QFileInfo(path + QStringLiteral("-wal")).size()) / YearPages / 1e6, ms(clock) / 1000);
    HistoryReader reader(path);
    reader.open();
    for (const auto& [name, days] :
         {std::pair{"24 h", 1}, std::pair{"7 d", 7}, std::pair{"30 d", 30}, std::pair{"1 y", 365}}) {
        clock.restart();
        HistorySeries series;
        if (const QString failure =
                readSeries(reader.database(), QStringLiteral("https://www.example0.com/shop/index.html"),
                           end - days * 24 * HourMs, end, series);
            !failure.isEmpty())
            std::printf("the History tab cannot read: %s\n", qPrintable(failure));
        std::printf("the History tab's reading for %s: %.1f ms (%lld points, %lld outages)\n", name,
                    ms(clock), qlonglong(series.points.size()), qlonglong(series.outages.size()));
    }
}

// The grid's uptime columns at start for 1000 pages checked every 5 minutes for 30 days (every
// single check kept for the last 2).
void thousandPages(const QString& path) {
    constexpr int ManyPages = 1000;
    constexpr qint64 HourMs = 3600000;
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    std::atomic<qint64> now = end - 30 * 24 * HourMs;
    {
        HistoryStore store(path, {});
        store.setClock([&now] { return now.load(); });
        store.open();
        for (int hour = 0; now < end; ++hour) {
            // Only the hourly and daily sums are left of the older checks; one a page will do.
            const int checks = end - now <= 48 * HourMs ? 12 : 1;
            store.cycleStarted();
            for (int at = 0; at < checks; ++at)
                for (int page = 0; page < ManyPages; ++page) {
                    CheckRecord check;
                    check.timeMs = now + at * 300000;
                    check.address = QStringLiteral("https://www.example%1.com/").arg(page);
                    check.outcome = QStringLiteral("No Error");
                    check.up = (hour + page) % 50 != 0;
                    check.ms = 100;
                    store.record(check);
                }
            now += HourMs;
            store.cycleEnded(2);
            store.flush();
        }
    }
    QElapsedTimer clock;
    clock.start();
    HistoryReader reader(path);
    reader.open();
    QHash<QString, Uptime> uptimes;
    if (const QString failure = readUptimes(reader.database(), end, uptimes); !failure.isEmpty())
        std::printf("the uptimes cannot be read: %s\n", qPrintable(failure));
    std::printf("the grid's uptimes of %lld pages over a day and 30 days, read at start: %.1f ms\n",
                qlonglong(uptimes.size()), ms(clock));
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KV.history.sqlite"));
    std::vector<double> writes;
    std::vector<double> written;
    {
        HistoryStore store(
            path, [](const QString& why) { std::printf("history not kept: %s\n", qPrintable(why)); });
        store.open();
        for (int cycle = 0; cycle < Cycles; ++cycle) {
            store.cycleStarted();
            for (int page = 0; page < Pages; ++page) {
                CheckRecord check;
                check.timeMs = 1765000000000 + qint64(cycle) * 60000 + page;
                check.address = QStringLiteral("https://www.example%1.com/shop/index.html").arg(page);
                check.outcome = page % 50 ? QStringLiteral("No Error") : QStringLiteral("Page Not Found");
                check.code = page % 50 ? 200 : 404;
                check.ms = 80 + page % 120;
                check.connectMs = 20;
                check.tlsMs = 30;
                check.firstByteMs = 25;
                check.error = page % 50 ? QString() : QStringLiteral("Page Not Found");
                store.record(check);
            }
            QElapsedTimer clock;
            clock.start();
            store.cycleEnded(2);
            writes.push_back(ms(clock));
            clock.restart();
            store.flush();
            written.push_back(ms(clock));
        }
    }
    for (auto* times : {&writes, &written})
        std::sort(times->begin(), times->end());
    std::printf(
        "a cycle of %d checks handed to the writer: median %.2f ms, worst %.2f ms on the window's thread\n",
        Pages, writes[writes.size() / 2], writes.back());
    std::printf("the writer's thread then writes it in: median %.2f ms, worst %.2f ms\n",
                written[written.size() / 2], written.back());
    const qint64 bytes = fileBytes(path);
    std::printf("file after %d checks: %.1f MiB, %.0f bytes a check\n", Pages * Cycles, bytes / 1048576.0,
                double(bytes) / (Pages * Cycles));
    QElapsedTimer clock;
    clock.start();
    {
        HistoryStore store(path, {});
        store.open();
    }
    std::printf("opening it: %.2f ms\n", ms(clock));
    simulatedYear(dir.filePath(QStringLiteral("year.history.sqlite")));
    thousandPages(dir.filePath(QStringLiteral("many.history.sqlite")));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    clock.restart();
    exportHistory(path, out);
    std::printf("exporting it as CSV: %.1f ms (%.1f MiB)\n", ms(clock), out.size() / 1048576.0);
    return 0;
}
