// HEAD requests to 500 pages served by nginx on loopback, one after the other through TNMHTTP,
// against curl fetching the same 500 addresses in one process. Prints figures; never fails.
#include "net/TNMHTTP.h"
#include "support/LoopbackPages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int pages = 500;
    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, pages);
    if (urls.isEmpty()) {
        std::printf("nginx did not start: %s\n", qPrintable(nginx.output()));
        return 0;
    }

    TNMHTTP http;
    http.HeaderInfo.LocalProgram = QStringLiteral("Korvane");
    int ok = 0;
    QElapsedTimer clock;
    clock.start();
    for (const QString& url : urls) {
        try {
            http.Head(url);
        } catch (const std::exception& e) {
            if (ok == 0)
                std::printf("%s: %s\n", qPrintable(url), e.what());
        }
        ok += http.ReplyNumber == 200;
    }
    const double ours = double(clock.nsecsElapsed()) / 1e9;

    int curlExit = 0;
    const double theirs = curlHeadSeconds(urls, &curlExit);

    std::printf("TNMHTTP Head, %d pages: %.3f s (%.2f ms a page, %d answered 200)\n", pages, ours,
                ours * 1000 / pages, ok);
    std::printf("curl --head --http1.0, same pages in one process: %.3f s (exit %d)\n", theirs, curlExit);
    std::printf("ratio TNMHTTP / curl: %.2f\n", ours / theirs);
    return 0;
}
