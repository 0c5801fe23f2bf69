#include "net/AddressLogin.h"

#include <QRegularExpression>
#include <QUrl>

AddressLogin splitLogin(const QString& address) {
    // Asked for every row the grid paints: most addresses hold no login at all.
    if (!address.contains(QLatin1Char('@')))
        return {address, {}, {}};
    QUrl url(address);
    AddressLogin login{address, url.userName(), url.password()};
    if (!login.password.isEmpty()) {
        url.setPassword(QString());
        login.address = url.toString();
    }
    return login;
}

QString joinLogin(const QString& address, const QString& user, const QString& password) {
    const qsizetype scheme = address.indexOf(QLatin1String("://"));
    if (scheme < 0 || password.isEmpty())
        return address;
    const qsizetype start = scheme + 3;
    qsizetype end = start;
    while (end < address.size() && !QStringView(u"/?#").contains(address[end]))
        ++end;
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'), end - 1);
    const qsizetype host = at >= start ? at + 1 : start;
    // What may stand in a login part as it is; the rest goes percent-encoded.
    static const QByteArray kept = "!$&'()*+,;=";
    const QString login = QString::fromLatin1(QUrl::toPercentEncoding(user, kept)) + QLatin1Char(':') +
                          QString::fromLatin1(QUrl::toPercentEncoding(password, kept)) + QLatin1Char('@');
    return address.left(start) + login + address.mid(host);
}

QString withoutPasswords(const QString& text) {
    if (!text.contains(QLatin1Char('@')))
        return text;
    static const QRegularExpression login(
        QStringLiteral(R"(([A-Za-z][A-Za-z0-9+.-]*://[^/?#\s:@]*):[^/?#\s@]*@)"));
    return QString(text).replace(login, QStringLiteral("\\1@"));
}
