// One check cycle of the running monitor over 500 pages served by nginx on loopback, against
// curl fetching the same pages in one process; how long the window's event loop went without
// being served during the cycle; resident memory afterwards. Prints figures; never fails.
#include "app/QtDialogService.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "check/CheckCycle.h"

#include "support/LoopbackPages.h"
#include <QTabWidget>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int Pages = 500;

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, Pages);
    if (urls.isEmpty()) {
        std::printf("nginx did not start: %s\n", qPrintable(nginx.output()));
        return 0;
    }

    QTemporaryDir dir;
    TFormMainWindow window(dir.filePath(QStringLiteral("KV.ini")), dialogs);
    window.show();
    for (const QString& url : urls)
        window.pages.addPage(url, true, true, true);
    // As "Check websites once" does: the grid is in view while the pages are checked.
    window.PageControl1->setCurrentWidget(window.status.TabSheetStatus);
    const long before = residentKiB();

    // A 10 ms heartbeat: the longest gap between its beats is how long the window went deaf.
    QElapsedTimer beat;
    qint64 longestGap = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { longestGap = qMax(longestGap, beat.restart()); });
    heartbeat.start(10);
    beat.start();

    QElapsedTimer clock;
    clock.start();
    window.checkCycle().CheckWebPagesExecute();
    const double ours = double(clock.nsecsElapsed()) / 1e9;
    heartbeat.stop();
    int ok = 0;
    for (int i = 0; i < Pages; ++i)
        ok += window.pages.readStatus(i) == PageStatus::Ok;

    const double theirs = curlHeadSeconds(urls);

    std::printf("check cycle, %d pages: %.3f s (%.2f ms a page, %d pages OK)\n", Pages, ours,
                ours * 1000 / Pages, ok);
    std::printf("curl --head --http1.0, same pages in one process: %.3f s (%.2f ms a page)\n", theirs,
                theirs * 1000 / Pages);
    std::printf("ratio cycle / curl: %.2f\n", ours / theirs);
    std::printf("longest time the window's event loop went unserved during the cycle: %lld ms\n",
                (long long)longestGap);
    std::printf("resident memory with %d pages: %ld KiB before the cycle, %ld KiB after it\n", Pages, before,
                residentKiB());
    return 0;
}
