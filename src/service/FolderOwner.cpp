#include "service/FolderOwner.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

QString giveToFolderOwner(const QString& file) {
    if (::geteuid() != 0)
        return {};
    const QByteArray path = QFile::encodeName(file);
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    struct stat folderStatus {};
    struct stat fileStatus {};
    if (::stat(folder.constData(), &folderStatus) != 0 || ::lstat(path.constData(), &fileStatus) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISREG(fileStatus.st_mode) || fileStatus.st_nlink != 1 ||
        (fileStatus.st_uid == folderStatus.st_uid && fileStatus.st_gid == folderStatus.st_gid))
        return {};
    if (::lchown(path.constData(), folderStatus.st_uid, folderStatus.st_gid) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}
