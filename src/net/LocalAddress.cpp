#include "net/LocalAddress.h"

#include "net/ESockError.h"

#include <QHostAddress>
#include <QHostInfo>

QString LocalAddress::ipv4() {
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress& a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            const quint32 v = a.toIPv4Address();
            return QStringLiteral("%1.%2.%3.%4")
                .arg(v >> 24)
                .arg((v >> 16) & 255)
                .arg((v >> 8) & 255)
                .arg(v & 255);
        }
    // No address to give: a made-up one would be passed on as if it were ours.
    throw ESockError(QStringLiteral("Host Lookup Failed"));
}
