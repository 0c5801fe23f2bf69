#include "net/TrustStore.h"

#include <QDir>
#include <QMutex>
#include <QSet>
#include <QSslConfiguration>

namespace {
QList<QSslCertificate> fromFolders(const QString& folders) {
    QList<QSslCertificate> found;
    for (const QString& folder : folders.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
            found += QSslCertificate::fromPath(file.filePath(), QSsl::Pem);
    return found;
}
} // namespace

QList<QSslCertificate> TrustStore::certificates() {
    // The first reading runs on a worker thread, so the window never waits for it.
    static QMutex busy;
    const QMutexLocker lock(&busy);
    // Reading the system's certificates takes a while; they do not change while we run.
    static const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
    static bool read = false;
    static QString file, folders;
    static QList<QSslCertificate> all;
    const QString nowFile = qEnvironmentVariable("SSL_CERT_FILE");
    const QString nowFolders = qEnvironmentVariable("SSL_CERT_DIR");
    if (read && nowFile == file && nowFolders == folders)
        return all;
    read = true;
    file = nowFile;
    folders = nowFolders;
    all.clear();
    // The variables often name the system's own certificates again; each is given once.
    QSet<QSslCertificate> seen;
    const QList<QSslCertificate> named =
        (file.isEmpty() ? QList<QSslCertificate>() : QSslCertificate::fromPath(file, QSsl::Pem)) +
        fromFolders(folders);
    for (const QSslCertificate& certificate : system + named)
        if (!seen.contains(certificate)) {
            seen.insert(certificate);
            all.append(certificate);
        }
    return all;
}
