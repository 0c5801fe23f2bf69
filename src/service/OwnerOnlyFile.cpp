#include "service/OwnerOnlyFile.h"

#include <QFile>

std::variant<QByteArray, QString> readOwnerOnlyFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    constexpr QFile::Permissions Others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    if (file.permissions() & Others)
        return QStringLiteral("%1 may be read or changed by others than its owner; allow its owner only "
                              "(chmod 600 %1)")
            .arg(path);
    return file.readAll();
}
