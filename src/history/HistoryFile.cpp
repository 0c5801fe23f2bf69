#include "history/HistoryFile.h"

#include "net/AddressLogin.h"

#include <QDir>
#include <QFileInfo>

QString historyFileFor(const QString& settingsFile) {
    const QFileInfo file(settingsFile);
    const QString suffix = file.suffix();
    const QString stem = suffix.isEmpty() ? file.fileName() : file.fileName().chopped(suffix.size() + 1);
    return file.dir().filePath(stem + QStringLiteral(".history.sqlite"));
}

QString withoutPassword(const QString& address) {
    return splitLogin(address).address;
}

CheckRecord withoutPassword(const CheckRecord& check) {
    const QString password = splitLogin(check.address).password;
    if (password.isEmpty())
        return check;
    CheckRecord bare = check;
    bare.address = withoutPassword(check.address);
    bare.error.replace(password, QStringLiteral("*****"));
    return bare;
}
