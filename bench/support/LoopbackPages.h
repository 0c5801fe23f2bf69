#pragma once

#include "support/net/NginxPeer.h"
#include "support/net/TestAuthority.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

// Pages of slightly different sizes served by nginx on loopback, over TLS when a certificate is
// given; their addresses, or none when nginx did not start.
inline QStringList serveLoopbackPages(NginxPeer& nginx, int pages,
                                      const TestAuthority::Issued* secure = nullptr) {
    for (int i = 0; i < pages; ++i)
        nginx.addFile(QStringLiteral("page%1.html").arg(i), QByteArray(1000 + i, 'p'));
    QStringList urls;
    if (!(secure ? nginx.startSecure(secure->certificate, secure->key) : nginx.start()))
        return urls;
    for (int i = 0; i < pages; ++i)
        urls << nginx.url(QStringLiteral("page%1.html").arg(i));
    return urls;
}

// Seconds curl takes for HEAD requests to all the addresses in one process, as we make them.
inline double curlHeadSeconds(const QStringList& urls, int* exitCode = nullptr,
                              const QStringList& more = {}) {
    QProcess curl;
    QStringList arguments{QStringLiteral("--head"), QStringLiteral("--http1.0"), QStringLiteral("--silent"),
                          QStringLiteral("--output"), QStringLiteral("/dev/null")};
    arguments += more;
    arguments += urls;
    QElapsedTimer clock;
    clock.start();
    curl.start(QStringLiteral("curl"), arguments);
    curl.waitForFinished(-1);
    if (exitCode)
        *exitCode = curl.exitCode();
    return double(clock.nsecsElapsed()) / 1e9;
}
