#include "history/HistoryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString historyFileFor(const QString& settingsFile) {
    const QFileInfo file(settingsFile);
    const QString suffix = file.suffix();
    const QString stem = suffix.isEmpty() ? file.fileName() : file.fileName().chopped(suffix.size() + 1);
    return file.dir().filePath(stem + QStringLiteral(".history.sqlite"));
}

CheckRecord withoutPassword(const CheckRecord& check) {
    QUrl url(check.address);
    const QString password = url.password();
    if (password.isEmpty())
        return check;
    CheckRecord bare = check;
    url.setPassword(QString());
    bare.address = url.toString();
    bare.error.replace(password, QStringLiteral("*****"));
    return bare;
}
