#include "net/TrustStore.h"

#include <QDir>
#include <QMutex>
#include <QSet>

namespace {
QList<QSslCertificate> fromFolders(const QString& folders) {
    QList<QSslCertificate> found;
    for (const QString& folder : folders.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
            found += QSslCertificate::fromPath(file.filePath(), QSsl::Pem);
    return found;
}

QSslConfiguration build(const QString& file, const QString& folders) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Resuming the last session with the same server saves most of the handshake, which is what
    // makes checking hundreds of pages quick; Qt keeps no ticket unless asked to.
    config.setSslOption(QSsl::SslOptionDisableSessionTickets, false);
    config.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    const QList<QSslCertificate> named =
        (file.isEmpty() ? QList<QSslCertificate>() : QSslCertificate::fromPath(file, QSsl::Pem)) + fromFolders(folders);
    if (named.isEmpty())
        return config;
    // The variables often name the system's own certificates again. Only others make us hand the
    // TLS library every certificate for every connection, the one way to add some; left alone, it
    // looks the system's up as a chain needs them, which is far cheaper.
    const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
    QSet<QSslCertificate> seen(system.cbegin(), system.cend());
    QList<QSslCertificate> all = system;
    for (const QSslCertificate& certificate : named)
        if (!seen.contains(certificate)) {
            seen.insert(certificate);
            all.append(certificate);
        }
    if (all.size() == system.size())
        return config;
    config.setCaCertificates(all);
    return config;
}
} // namespace

QSslConfiguration TrustStore::configuration() {
    // The first one is built on a worker thread, so the window never waits for it.
    static QMutex busy;
    const QMutexLocker lock(&busy);
    static bool built = false;
    static QString file, folders;
    static QSslConfiguration config;
    const QString nowFile = qEnvironmentVariable("SSL_CERT_FILE");
    const QString nowFolders = qEnvironmentVariable("SSL_CERT_DIR");
    if (built && nowFile == file && nowFolders == folders)
        return config;
    built = true;
    file = nowFile;
    folders = nowFolders;
    config = build(file, folders);
    return config;
}
