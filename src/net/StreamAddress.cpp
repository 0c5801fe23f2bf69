#include "net/StreamAddress.h"

#include <array>
#include <stdexcept>

namespace {
struct Scheme {
    const char* name;
    StreamAddress::Dialect dialect;
    StreamAddress::Tls tls;
    qint32 port; // 0: the address must name one
};

using D = StreamAddress::Dialect;
using T = StreamAddress::Tls;
constexpr std::array<Scheme, 8> Schemes{{
    {"tcp", D::None, T::None, 0},
    {"tls", D::None, T::First, 0},
    {"smtps", D::Smtp, T::First, 465},
    {"imaps", D::Imap, T::First, 993},
    {"pop3s", D::Pop3, T::First, 995},
    {"smtp", D::Smtp, T::Upgrade, 25},
    {"imap", D::Imap, T::Upgrade, 143},
    {"pop3", D::Pop3, T::Upgrade, 110},
}};

const Scheme* schemeOf(const QString& url) {
    const qsizetype end = url.indexOf(QLatin1String("://"));
    if (end < 0)
        return nullptr;
    const QString name = url.left(end).toLower();
    for (const Scheme& scheme : Schemes)
        if (name == QLatin1String(scheme.name))
            return &scheme;
    return nullptr;
}

[[noreturn]] void refuse(const QString& why) {
    throw std::invalid_argument(why.toStdString());
}
} // namespace

bool StreamAddress::handles(const QString& url) {
    return schemeOf(url) != nullptr;
}

StreamAddress StreamAddress::parse(const QString& url) {
    const Scheme* scheme = schemeOf(url);
    if (!scheme)
        refuse(QStringLiteral("Unknown scheme: ") + url);
    QString authority = url.mid(url.indexOf(QLatin1String("://")) + 3);
    // A lone slash after the server is how many people type an address; anything more names a
    // path, which none of these speak of.
    if (authority.endsWith(QLatin1Char('/')))
        authority.chop(1);
    if (authority.contains(QLatin1Char('/')) || authority.contains(QLatin1Char('?')) ||
        authority.contains(QLatin1Char('#')))
        refuse(QStringLiteral("No path is taken after the server: ") + url);
    if (authority.contains(QLatin1Char('@')))
        refuse(QStringLiteral("No login is taken before the server: ") + url);
    StreamAddress address{scheme->dialect, scheme->tls, authority, scheme->port};
    // The colons of an IPv6 address in brackets are not the port's.
    const qsizetype bracket =
        authority.startsWith(QLatin1Char('[')) ? authority.indexOf(QLatin1Char(']')) : -1;
    if (authority.startsWith(QLatin1Char('[')) && bracket < 0)
        refuse(QStringLiteral("Unclosed bracket in ") + url);
    if (const qsizetype colon = authority.indexOf(QLatin1Char(':'), bracket + 1); colon >= 0) {
        bool ok = false;
        const QString digits = authority.mid(colon + 1);
        address.port = digits.toInt(&ok, 10);
        if (!ok || address.port < 1 || address.port > 65535 || !digits.front().isDigit())
            refuse(QStringLiteral("No such port: ") + digits);
        address.host.truncate(colon);
    } else if (bracket >= 0 && bracket + 1 < authority.size()) {
        refuse(QStringLiteral("Text after the address in brackets: ") + url);
    }
    if (address.host.isEmpty() || address.host == QLatin1String("[]"))
        refuse(QStringLiteral("No server named in ") + url);
    if (address.port == 0)
        refuse(QStringLiteral("No port named in ") + url);
    return address;
}
