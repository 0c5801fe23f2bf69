#include "net/RequestBuilder.h"

#include "net/THeaderInfo.h"
#include "net/WireAddress.h"

TExStringList RequestBuilder::build(const Target& t, const THeaderInfo& info,
                                    const QList<HeaderLine>& extra) {
    const bool viaProxy = !t.proxy.isEmpty();
    const QString host = QString::fromLatin1(WireAddress::host(t.host));
    TExStringList lines;
    // A proxy needs the whole URL to know where to go; a server only wants the path.
    const QByteArray target = viaProxy ? WireAddress::url(t.url) : WireAddress::percentEncoded(t.path);
    lines.append(t.method + QLatin1Char(' ') + QString::fromLatin1(target) + QStringLiteral(" HTTP/1.0"));
    if (viaProxy) {
        lines.append(QStringLiteral("Proxy-Connection: Keep-Alive"));
        lines.append(QStringLiteral("Host: ") + host);
    }
    lines.SetHeader(QStringLiteral("Host"), host);
    lines.append(QStringLiteral("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff"));
    lines.append(QStringLiteral("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript"));
    if (!info.LocalProgram.isEmpty())
        lines.SetHeader(QStringLiteral("User-Agent"), info.LocalProgram);
    if (!info.LocalMailAddress.isEmpty())
        lines.SetHeader(QStringLiteral("From"), info.LocalMailAddress);
    if (!info.Cookie.isEmpty())
        lines.SetHeader(QStringLiteral("Cookie"), info.Cookie);
    if (!info.Referer.isEmpty())
        lines.SetHeader(QStringLiteral("Referer"), info.Referer);
    if (!info.UserId.isEmpty() && !info.Password.isEmpty()) {
        // UTF-8, as servers that say which charset they expect all ask for.
        const QByteArray credentials = (info.UserId + QLatin1Char(':') + info.Password).toUtf8();
        lines.SetHeader(QStringLiteral("Authorization"),
                        QStringLiteral("Basic ") + QString::fromLatin1(credentials.toBase64()));
    }
    lines.append(QStringLiteral("Content-type: application/x-www-form-urlencoded"));
    for (const auto& [name, value] : extra)
        lines.SetHeader(name, value);
    lines.append(QString());
    return lines;
}

TExStringList RequestBuilder::tunnel(const QString& host, qint32 port) {
    return {
        QStringLiteral("CONNECT %1:%2 HTTP/1.0").arg(QString::fromLatin1(WireAddress::host(host))).arg(port),
        QString()};
}
