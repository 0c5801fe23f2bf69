#include "net/UrlParser.h"

#include "net/WireAddress.h"

#include <limits>
#include <stdexcept>

namespace {
// Position of the n-th (1-based) slash, or -1.
qsizetype nthSlash(const QString& text, int n) {
    qsizetype at = -1;
    for (int i = 0; i < n; ++i) {
        at = text.indexOf(QLatin1Char('/'), at + 1);
        if (at < 0)
            return -1;
    }
    return at;
}
} // namespace

qint32 UrlParser::toInteger(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    const bool plain = !text.isEmpty() && !text.front().isSpace() && !text.back().isSpace();
    if (!ok || !plain || value < std::numeric_limits<qint32>::min() ||
        value > std::numeric_limits<qint32>::max())
        throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return qint32(value);
}

ParsedUrl UrlParser::parse(const QString& url, const QString& host, qint32 port) {
    if (url.isEmpty())
        throw std::runtime_error("Empty URL");
    ParsedUrl r{url, {}, host, port == 0 ? 80 : port, {}};
    const bool hasAuthority = url.contains(QStringLiteral("//"));

    // The whole path is kept, however long: a cut path asks for another page.
    if (hasAuthority) {
        const qsizetype third = nthSlash(url, 3);
        r.path = third < 0 ? QString() : url.mid(third);
    } else if (const qsizetype slash = url.indexOf(QLatin1Char('/')); slash >= 0) {
        r.path = url.mid(slash);
    }

    if (const qsizetype colon = url.indexOf(QLatin1Char(':')); colon >= 0) {
        r.scheme = url.left(colon).toLower();
        r.port = r.scheme == QLatin1String("https")    ? 443
                 : r.scheme == QLatin1String("gopher") ? 70
                 : r.scheme == QLatin1String("ftp")    ? 21
                                                       : 80;
    }

    QString hostPart;
    if (hasAuthority) {
        const qsizetype second = nthSlash(url, 2);
        const qsizetype third = nthSlash(url, 3);
        hostPart = url.mid(second + 1, third < 0 ? -1 : third - second - 1);
        // A login before the host goes in a header of its own, never to the server's name or
        // into a proxy's request line.
        if (const qsizetype at = hostPart.lastIndexOf(QLatin1Char('@')); at >= 0) {
            r.url.remove(second + 1, at + 1);
            hostPart = hostPart.mid(at + 1);
        }
    } else if (!url.startsWith(QLatin1Char('/'))) {
        const qsizetype slash = url.indexOf(QLatin1Char('/'));
        hostPart = slash < 0 ? url : url.left(slash);
    }
    // The colons of an IPv6 address in brackets are not the port's.
    const qsizetype bracket = hostPart.startsWith(QLatin1Char('[')) ? hostPart.indexOf(QLatin1Char(']')) : -1;
    if (const qsizetype colon = hostPart.indexOf(QLatin1Char(':'), bracket + 1); colon >= 0) {
        r.port = toInteger(hostPart.mid(colon + 1));
        hostPart.truncate(colon);
    }
    if (!hostPart.isEmpty())
        r.host = hostPart;

    if (r.path.isEmpty()) {
        r.path = QStringLiteral("/");
        r.url += QLatin1Char('/');
    }
    return r;
}

QString UrlParser::server(const QString& url) {
    try {
        const ParsedUrl parsed = parse(url, QString(), 80);
        // A name typed with its letters and the same name in ACE form are one server.
        return QString::fromLatin1(WireAddress::host(parsed.host)).toLower() + QLatin1Char(':') +
               QString::number(parsed.port);
    } catch (const std::exception&) {
        return {};
    }
}
