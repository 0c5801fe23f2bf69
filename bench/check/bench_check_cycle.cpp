// One check cycle of the running monitor over 500 pages served by nginx on loopback, against
// curl fetching the same pages in one process; the same over https (pages served with a
// certificate of a test authority, which both trust); then a cycle over 500 pages that all fail
// (an outage, with the default alarms: log line, red alarm, sound), against the healthy cycle.
// Then pages checked side by side where the network is slow: 300 pages on 30 loopback addresses
// that each answer after 100 ms, and 40 pages of which 4 never answer, against curl with as many
// transfers at once. Also how long the window's event loop went without being served, and
// resident memory. Prints figures; never fails.
#include "app/TKorvaneApplication.h"

#include "support/CycleRun.h"
#include "support/LoopbackPages.h"
#include "support/net/ScriptedPeer.h"

#include <QCheckBox>
#include <QJsonObject>
#include <QLineEdit>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Pages = 500;

void print(const char* what, const CycleFigures& f, int pages = Pages) {
    std::printf("%s, %d pages: %.3f s (%.2f ms a page, %d pages OK)\n", what, pages, f.seconds,
                f.seconds * 1000 / pages, f.ok);
    std::printf("  longest time the window's event loop went unserved: %lld ms\n", (long long)f.longestGapMs);
    std::printf("  resident memory: %ld KiB before the cycle, %ld KiB after it\n", f.residentBefore,
                f.residentAfter);
}

QJsonObject answering(const QString& host, double delay) {
    return QJsonObject{{"mode", "http"},
                       {"host", host},
                       {"routes", QJsonObject{{"*", QJsonObject{{"send", "HTTP/1.0 200 OK\r\n\r\n"}, {"delay", delay}}}}}};
}

// Far servers: 30 loopback addresses with 10 pages each, every answer 100 ms late.
void farPages(DialogService& dialogs) {
    std::vector<std::unique_ptr<ScriptedPeer>> servers;
    QStringList urls;
    for (int host = 2; host <= 31; ++host) {
        const QString address = QStringLiteral("127.0.0.%1").arg(host);
        servers.push_back(std::make_unique<ScriptedPeer>(answering(address, 0.1)));
        if (!servers.back()->start()) {
            std::printf("the far server on %s did not start\n", qPrintable(address));
            return;
        }
        for (int page = 0; page < 10; ++page)
            urls << QStringLiteral("http://%1:%2/page%3.html").arg(address).arg(servers.back()->port()).arg(page);
    }
    const CycleFigures ours = checkOnce(urls, dialogs);
    const double theirs = curlHeadSeconds(urls, nullptr, {"--parallel", "--parallel-max", "16"});
    print("check cycle, far pages (100 ms each)", ours, urls.size());
    std::printf("curl --parallel --parallel-max 16, far pages: %.3f s\n", theirs);
    std::printf("ratio far cycle / curl --parallel: %.2f\n", ours.seconds / theirs);
}

// Dead servers: 36 pages that answer at once and 4 that never do, with a 5 s time-out.
void silentPages(DialogService& dialogs, const QStringList& healthy) {
    ScriptedPeer silent(QJsonObject{{"mode", "http"}, {"routes", QJsonObject{{"*", QJsonObject{{"silent", true}}}}}});
    if (!silent.start()) {
        std::printf("the silent server did not start\n");
        return;
    }
    QStringList urls = healthy.mid(0, 36);
    for (int page = 0; page < 4; ++page)
        urls.insert(page * 10, silent.url(QStringLiteral("/dead%1").arg(page)));
    const CycleFigures ours =
        checkOnce(urls, dialogs, [](TFormMainWindow& window) { window.connection.EditTimeOut->setText("5"); });
    const double theirs = curlHeadSeconds(urls, nullptr, {"--parallel", "--max-time", "5"});
    print("check cycle, 4 silent pages among 40 (time-out 5 s)", ours, urls.size());
    std::printf("curl --parallel --max-time 5, the same pages: %.3f s\n", theirs);
    std::printf("ratio silent cycle / curl --parallel: %.2f\n", ours.seconds / theirs);
}

} // namespace

int main(int argc, char** argv) {
    offscreenUnlessTold();
    PrintedDialogs dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, Pages);
    if (urls.isEmpty()) {
        std::printf("nginx did not start: %s\n", qPrintable(nginx.output()));
        return 0;
    }
    QStringList missing;
    for (int i = 0; i < Pages; ++i)
        missing << nginx.url(QStringLiteral("missing%1.html").arg(i));

    TestAuthority authority;
    if (!authority.create()) {
        std::printf("openssl did not make the test authority: %s\n", qPrintable(authority.output()));
        return 0;
    }
    qputenv("SSL_CERT_FILE", authority.certificate().toLocal8Bit());
    const TestAuthority::Issued certificate = authority.issue({QStringLiteral("IP:127.0.0.1")});
    NginxPeer secureNginx;
    const QStringList secureUrls = serveLoopbackPages(secureNginx, Pages, &certificate);
    if (secureUrls.isEmpty()) {
        std::printf("nginx did not start over TLS: %s\n", qPrintable(secureNginx.output()));
        return 0;
    }

    const CycleFigures healthy = checkOnce(urls, dialogs);
    // TLS and the trust configuration load once a run, on a worker thread, before the first
    // https page: a cycle of one page does it, so the cycles measured are the ones that follow.
    checkOnce(secureUrls.mid(0, 1), dialogs);
    const CycleFigures secure = checkOnce(secureUrls, dialogs);
    const CycleFigures outage = checkOnce(missing, dialogs);
    const double theirs = curlHeadSeconds(urls);
    const double theirsSecure =
        curlHeadSeconds(secureUrls, nullptr, {QStringLiteral("--cacert"), authority.certificate()});

    // As on most desktops, no certificates named beside the system's: the test authority is then
    // unknown, so both sides let the certificate pass.
    qunsetenv("SSL_CERT_FILE");
    const auto acceptUntrusted = [](TFormMainWindow& w) { w.connection.CheckBoxAcceptUntrusted->setChecked(true); };
    checkOnce(secureUrls.mid(0, 1), dialogs, acceptUntrusted);
    const CycleFigures insecure = checkOnce(secureUrls, dialogs, acceptUntrusted);
    const double theirsInsecure = curlHeadSeconds(secureUrls, nullptr, {QStringLiteral("--insecure")});

    print("check cycle, healthy pages", healthy);
    print("check cycle, the same pages over https", secure);
    print("check cycle, https with untrusted certificates accepted", insecure);
    print("check cycle, every page failing (404)", outage);
    std::printf("curl --head --http1.0, healthy pages in one process: %.3f s (%.2f ms a page)\n", theirs,
                theirs * 1000 / Pages);
    std::printf("curl --head --http1.0, https pages in one process: %.3f s (%.2f ms a page)\n", theirsSecure,
                theirsSecure * 1000 / Pages);
    std::printf("ratio healthy cycle / curl: %.2f\n", healthy.seconds / theirs);
    std::printf("ratio https cycle / curl over https: %.2f\n", secure.seconds / theirsSecure);
    std::printf("curl --insecure, the same https pages: %.3f s\n", theirsInsecure);
    std::printf("ratio https cycle / curl, both accepting untrusted certificates: %.2f\n",
                insecure.seconds / theirsInsecure);
    std::printf("ratio failing cycle / healthy cycle: %.2f\n", outage.seconds / healthy.seconds);
    farPages(dialogs);
    silentPages(dialogs, urls);
    return 0;
}
