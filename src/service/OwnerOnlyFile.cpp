#include "service/OwnerOnlyFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a device");
}

QString userName(uid_t user) {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(user, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(user);
}

bool amongCredentials(const QString& path) {
    const QString folder = qEnvironmentVariable("CREDENTIALS_DIRECTORY");
    if (folder.isEmpty())
        return false;
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    return !canonicalFolder.isEmpty() &&
           QFileInfo(path).canonicalFilePath().startsWith(canonicalFolder + QLatin1Char('/'));
}

QString tooLarge(const QString& path) {
    return QStringLiteral("%1 is larger than %2 KiB, too large for a file of secrets")
        .arg(path)
        .arg(OwnerOnlyFileMaxBytes / 1024);
}

} // namespace

QString notOwnerOnly(const QString& path, uint owner, uint mode, bool folder) {
    if (owner != ::geteuid())
        return QStringLiteral("%1 belongs to %2, not to %3 who runs Korvane; give it to %3 (chown %3 %1)")
            .arg(path, userName(owner), userName(::geteuid()));
    if (mode & (S_IRWXG | S_IRWXO))
        return QStringLiteral("%1 may be read or changed by others than its owner; allow its owner only "
                              "(chmod %2 %1)")
            .arg(path, folder ? QStringLiteral("700") : QStringLiteral("600"));
    return {};
}

std::variant<QByteArray, QString> readOwnerOnlyFile(const QString& path) {
    // Opened without waiting, and looked at through what was opened: a name looked at first could
    // be swapped for another file before the open.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return QStringLiteral("cannot read %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return QStringLiteral("cannot read %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("%1 is %2, not a regular file").arg(path, kindOf(status.st_mode));
    if (status.st_size > OwnerOnlyFileMaxBytes)
        return tooLarge(path);
    if (!amongCredentials(path))
        if (const QString refusal = notOwnerOnly(path, status.st_uid, status.st_mode, false);
            !refusal.isEmpty())
            return refusal;
    QByteArray text = file.read(OwnerOnlyFileMaxBytes + 1);
    if (text.size() > OwnerOnlyFileMaxBytes) // it grew since
        return tooLarge(path);
    return text;
}
