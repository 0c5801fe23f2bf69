// The cost of a cycle as the page list grows: a cycle of the running monitor over N pages served
// by nginx on loopback (N from the command line, 500 unless told), against curl with 16 transfers
// at once over the same pages. Prints the time, the cost per page, how long the window's event
// loop went unserved, and the resident memory after the start and after the cycle. One size a
// run, so that the memory of one size does not stay in the figures of the next. Never fails.
#include "app/TKorvaneApplication.h"

#include "support/CycleRun.h"
#include "support/LoopbackPages.h"

#include <cstdio>

int main(int argc, char** argv) {
    offscreenUnlessTold();
    PrintedDialogs dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    const int pages = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, pages);
    if (urls.isEmpty()) {
        std::printf("nginx did not start: %s\n", qPrintable(nginx.output()));
        return 0;
    }
    const CycleFigures ours = checkOnce(urls, dialogs);
    const double theirs = curlHeadSeconds(
        urls, nullptr,
        {QStringLiteral("--parallel"), QStringLiteral("--parallel-max"), QStringLiteral("16")});
    std::printf(
        "%d pages: cycle %.3f s, %.3f ms a page, %d pages OK; curl --parallel-max 16 %.3f s (%.3f ms a "
        "page); ratio %.2f\n",
        pages, ours.seconds, ours.seconds * 1000 / pages, ours.ok, theirs, theirs * 1000 / pages,
        ours.seconds / theirs);
    std::printf("  longest time the window's event loop went unserved: %lld ms\n",
                (long long)ours.longestGapMs);
    std::printf("  resident memory: %.1f MB after the start, %.1f MB after the cycle\n",
                ours.residentBefore / 1024.0, ours.residentAfter / 1024.0);
    return 0;
}
