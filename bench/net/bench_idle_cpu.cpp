// CPU time this process uses while one Head waits 10 s for a peer that answers late: the wait
// sleeps in the event loop, so the figure should be close to nothing. Prints; never fails.
#include "net/TNMHTTP.h"
#include "support/net/ScriptedPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr double lateBy = 10.0;
    ScriptedPeer peer({{"mode", "http"},
                       {"routes", QJsonObject{{"*", QJsonObject{{"send", "HTTP/1.0 200 OK\r\n\r\n"},
                                                                {"delay", lateBy}}}}}});
    if (!peer.start()) {
        std::printf("the scripted peer did not start\n");
        return 0;
    }
    TNMHTTP http;
    const double before = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    http.Head(peer.url(QStringLiteral("/late")));
    const double wall = double(clock.elapsed()) / 1000;
    std::printf("Head waited %.2f s for a reply %.0f s late (reply %d)\n", wall, lateBy,
                int(http.ReplyNumber));
    std::printf("CPU seconds used meanwhile: %.4f\n", cpuSeconds() - before);
    return 0;
}
