#include "support/net/NginxPeer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

bool NginxPeer::start() {
    QDir().mkpath(root());
    return run(writeConfig(QStringLiteral("nginx.conf.in"), QStringLiteral("user root;")));
}

bool NginxPeer::startSecure(const QString& certificate, const QString& key) {
    QDir().mkpath(root());
    secure_ = true;
    if (!QFile::copy(certificate, dir() + "/server.pem") || !QFile::copy(key, dir() + "/server.key"))
        return false;
    return run(writeConfig(QStringLiteral("nginx_tls.conf.in"), QStringLiteral("user root;")));
}

bool NginxPeer::run(const QString& config) {
    return launch(QStringLiteral("nginx"), {QStringLiteral("-p"), dir(), QStringLiteral("-c"), config,
                                            QStringLiteral("-e"), dir() + QStringLiteral("/error.log")});
}

void NginxPeer::addFile(const QString& name, const QByteArray& content) {
    QFile file(root() + QLatin1Char('/') + name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    file.open(QIODevice::WriteOnly);
    file.write(content);
}

bool NginxPeer::addLogin(const QString& user, const QString& password) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), {QStringLiteral("passwd"), QStringLiteral("-apr1"), password});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        return false;
    QFile file(dir() + QStringLiteral("/htpasswd"));
    if (!file.open(QIODevice::Append))
        return false;
    file.write(user.toUtf8() + ':' + openssl.readAllStandardOutput());
    return true;
}

QString NginxPeer::url(const QString& path) const {
    return QStringLiteral("%1://127.0.0.1:%2/%3").arg(secure_ ? "https" : "http").arg(port()).arg(path);
}

QStringList NginxPeer::accessLog() const {
    QFile log(dir() + "/access.log");
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
}
