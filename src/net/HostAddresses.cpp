#include "net/HostAddresses.h"

QString HostAddresses::bare(const QString& host) {
    if (host.size() > 1 && host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        return host.mid(1, host.size() - 2);
    return host;
}

// IPv4 first: it is what most servers answer on best; IPv6 still reaches a name that has no other.
QList<QHostAddress> HostAddresses::inOrder(const QList<QHostAddress>& found) {
    QList<QHostAddress> ordered;
    for (const auto protocol : {QAbstractSocket::IPv4Protocol, QAbstractSocket::IPv6Protocol})
        for (const QHostAddress& a : found)
            if (a.protocol() == protocol)
                ordered.append(a);
    return ordered;
}
