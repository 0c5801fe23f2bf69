// Checks beyond a page's answer at scale: a cycle over N tcp:// pages and N dns:// pages (20,000
// unless told) beside the same cycle over N http:// pages against nginx on loopback. The tcp
// pages connect to nginx's port; the DNS names are served by dnsmasq from a hosts file, and
// dnsperf with 16 queries at once on the same names gives the floor. Prints figures; never fails.
#include "app/TKorvaneApplication.h"
#include "support/CycleRun.h"
#include "support/LoopbackPages.h"
#include "support/net/DnsPeer.h"

#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>

namespace {

// Seconds dnsperf takes for one query of each name, 16 at once; none when it cannot run.
std::optional<double> dnsperfSeconds(const QStringList& names, quint16 port) {
    QTemporaryFile queries;
    if (!queries.open())
        return std::nullopt;
    for (const QString& name : names)
        queries.write(name.toUtf8() + " A\n");
    queries.flush();
    QProcess dnsperf;
    QElapsedTimer clock;
    clock.start();
    dnsperf.start(QStringLiteral("dnsperf"),
                  {QStringLiteral("-s"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                   QString::number(port), QStringLiteral("-d"), queries.fileName(), QStringLiteral("-q"),
                   QStringLiteral("16"), QStringLiteral("-n"), QStringLiteral("1")});
    if (!dnsperf.waitForFinished(600000) || dnsperf.exitCode() != 0)
        return std::nullopt;
    return double(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    offscreenUnlessTold();
    PrintedDialogs dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    const int pages = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
    NginxPeer nginx;
    const QStringList web = serveLoopbackPages(nginx, pages);
    if (web.isEmpty()) {
        std::printf("nginx did not start: %s\n", qPrintable(nginx.output()));
        return 0;
    }
    const QStringList tcp(pages, QStringLiteral("tcp://127.0.0.1:%1").arg(nginx.port()));
    QStringList names;
    for (int page = 0; page < pages; ++page)
        names.append(QStringLiteral("host%1.bench.test").arg(page));
    DnsPeer dns;
    for (const QString& name : names)
        dns.addHost(QStringLiteral("127.0.0.1 ") + name);
    if (!dns.start()) {
        std::printf("dnsmasq did not start: %s\n", qPrintable(dns.output()));
        return 0;
    }
    QStringList lookups;
    for (const QString& name : names)
        lookups.append(dns.url(name));

    const CycleFigures http = checkOnce(web, dialogs);
    const CycleFigures ports = checkOnce(tcp, dialogs);
    const CycleFigures records = checkOnce(lookups, dialogs);
    const std::optional<double> floor = dnsperfSeconds(names, dns.port());
    std::printf("%d pages each: http %.3f s (%d OK); tcp %.3f s (%d OK), %.2f x http; dns %.3f s (%d OK), "
                "%.2f x http\n",
                pages, http.seconds, http.ok, ports.seconds, ports.ok, ports.seconds / http.seconds,
                records.seconds, records.ok, records.seconds / http.seconds);
    if (floor)
        std::printf("  dnsperf -q 16 on the same names: %.3f s\n", *floor);
    else
        std::printf("  dnsperf did not run\n");
    return 0;
}
