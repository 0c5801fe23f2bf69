// What keeping the history costs: writing a cycle's checks (on the window's thread), the file's
// size a check, opening a file that holds many, and exporting them. Prints figures; never fails
// on them.
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int Pages = 500;
constexpr int Cycles = 40;

double ms(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KV.history.sqlite"));
    std::vector<double> writes;
    {
        HistoryStore store(path, [](const QString& why) { std::printf("history not kept: %s\n", qPrintable(why)); });
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
        }
    }
    std::sort(writes.begin(), writes.end());
    std::printf("a cycle of %d checks written at its end: median %.2f ms, worst %.2f ms\n", Pages,
                writes[writes.size() / 2], writes.back());
    const qint64 bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
    std::printf("file after %d checks: %.1f MiB, %.0f bytes a check\n", Pages * Cycles, bytes / 1048576.0,
                double(bytes) / (Pages * Cycles));
    QElapsedTimer clock;
    clock.start();
    {
        HistoryStore store(path, {});
        store.open();
    }
    std::printf("opening it: %.2f ms\n", ms(clock));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    clock.restart();
    exportHistory(path, out);
    std::printf("exporting it as CSV: %.1f ms (%.1f MiB)\n", ms(clock), out.size() / 1048576.0);
    return 0;
}
