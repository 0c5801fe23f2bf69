#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// The addresses a session may connect to for a host name, and the host as the resolver and the
// certificate know it.
class HostAddresses {
public:
    // An IPv6 address without the brackets it has in a URL; anything else as it is.
    static QString bare(const QString& host);
    // The IPv4 addresses first, in the resolver's order, then the IPv6 ones; others are dropped.
    static QList<QHostAddress> inOrder(const QList<QHostAddress>& found);
};
