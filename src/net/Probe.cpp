#include "net/Probe.h"

#include "net/DnsProbe.h"

#include <QStringList>

namespace {

QString schemeOf(const QString& url) {
    const qsizetype colon = url.indexOf(QLatin1Char(':'));
    return colon > 0 ? url.left(colon).toLower() : QString();
}

} // namespace

bool Probe::handles(const QString& url) {
    static const QStringList schemes{
        QStringLiteral("dns"),   QStringLiteral("tcp"),   QStringLiteral("tls"),
        QStringLiteral("smtps"), QStringLiteral("imaps"), QStringLiteral("pop3s"),
        QStringLiteral("smtp"),  QStringLiteral("imap"),  QStringLiteral("pop3")};
    return schemes.contains(schemeOf(url));
}

std::unique_ptr<Probe> Probe::make(const QString& url, HostLookups& lookups, TlsTickets& tickets) {
    Q_UNUSED(tickets);
    if (schemeOf(url) == QLatin1String("dns"))
        return std::make_unique<DnsProbe>(lookups);
    return nullptr;
}
