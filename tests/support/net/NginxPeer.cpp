#include "support/net/NginxPeer.h"

#include <QDir>
#include <QFile>

bool NginxPeer::start() {
    QDir().mkpath(root());
    const QString config = writeConfig(QStringLiteral("nginx.conf.in"), QStringLiteral("user root;"));
    return launch(QStringLiteral("nginx"), {QStringLiteral("-p"), dir(), QStringLiteral("-c"), config,
                                            QStringLiteral("-e"), dir() + QStringLiteral("/error.log")});
}

void NginxPeer::addFile(const QString& name, const QByteArray& content) {
    QDir().mkpath(root());
    QFile file(root() + QLatin1Char('/') + name);
    file.open(QIODevice::WriteOnly);
    file.write(content);
}

QString NginxPeer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(port()).arg(path);
}
