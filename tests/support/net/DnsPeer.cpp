#include "support/net/DnsPeer.h"

#include <QFile>
#include <pwd.h>
#include <unistd.h>

void DnsPeer::addRecord(const QString& name, int type, const QByteArray& hex) {
    options_ << QStringLiteral("--dns-rr=%1,%2,%3").arg(name).arg(type).arg(QString::fromLatin1(hex));
}

bool DnsPeer::start() {
    const QString hosts = dir() + QStringLiteral("/hosts");
    QFile file(hosts);
    if (!file.open(QIODevice::WriteOnly) || file.write(hosts_) != hosts_.size())
        return false;
    file.close();
    port_ = freePort();
    // As whoever runs the test: dnsmasq would otherwise give up root for a user who cannot read
    // the test's folder.
    const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    return launch(QStringLiteral("dnsmasq"),
                  QStringList{"--keep-in-foreground", "--conf-file=/dev/null", "--pid-file=",
                              "--log-facility=-", "--user=" + user, "--port=" + QString::number(port_),
                              "--listen-address=127.0.0.1", "--bind-interfaces", "--no-resolv", "--no-hosts",
                              "--addn-hosts=" + hosts, "--local=/test/"} +
                      options_);
}

QString DnsPeer::url(const QString& nameAndQuery) const {
    return QStringLiteral("dns://127.0.0.1:%1/%2").arg(port()).arg(nameAndQuery);
}
