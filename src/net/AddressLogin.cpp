#include "net/AddressLogin.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

// Where the login part of an address begins, and where its host begins after the "@"; the host's
// start is the login's when the address has none.
struct LoginPart {
    qsizetype start = -1;
    qsizetype host = -1;
};

LoginPart loginPart(const QString& address) {
    const qsizetype scheme = address.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return {};
    const qsizetype start = scheme + 3;
    qsizetype end = start;
    while (end < address.size() && !QStringView(u"/?#").contains(address[end]))
        ++end;
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'), end - 1);
    return {start, at >= start ? at + 1 : start};
}

QString decoded(QStringView part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

} // namespace

AddressLogin splitLogin(const QString& address) {
    // Asked for every row the grid paints: most addresses hold no login at all.
    if (!address.contains(QLatin1Char('@')))
        return {address, {}, {}};
    const LoginPart part = loginPart(address);
    if (part.host <= part.start)
        return {address, {}, {}};
    // The rest of the address stays as it was typed: it is what goes to the server.
    const QStringView login = QStringView(address).sliced(part.start, part.host - 1 - part.start);
    const qsizetype colon = login.indexOf(QLatin1Char(':'));
    AddressLogin split{address, decoded(login.left(colon)),
                       colon < 0 ? QString() : decoded(login.mid(colon + 1))};
    if (!split.password.isEmpty())
        split.address = address.left(part.start) + login.left(colon).toString() + address.mid(part.host - 1);
    return split;
}

QString joinLogin(const QString& address, const QString& user, const QString& password) {
    const LoginPart part = loginPart(address);
    if (part.start < 0 || password.isEmpty())
        return address;
    // What may stand in a login part as it is; the rest goes percent-encoded.
    static const QByteArray kept = "!$&'()*+,;=";
    const QString login = QString::fromLatin1(QUrl::toPercentEncoding(user, kept)) + QLatin1Char(':') +
                          QString::fromLatin1(QUrl::toPercentEncoding(password, kept)) + QLatin1Char('@');
    return address.left(part.start) + login + address.mid(part.host);
}

QString withoutPasswords(const QString& text) {
    if (!text.contains(QLatin1Char('@')))
        return text;
    static const QRegularExpression login(
        QStringLiteral(R"(([A-Za-z][A-Za-z0-9+.-]*://[^/?#\s:@]*):[^/?#\s@]*@)"));
    return QString(text).replace(login, QStringLiteral("\\1@"));
}
