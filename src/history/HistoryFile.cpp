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

QString withoutPassword(const QString& address) {
    // The grid asks for every row it paints; most addresses hold no user at all.
    if (!address.contains(QLatin1Char('@')))
        return address;
    QUrl url(address);
    if (url.password().isEmpty())
        return address;
    url.setPassword(QString());
    return url.toString();
}

CheckRecord withoutPassword(const CheckRecord& check) {
    const QString password = QUrl(check.address).password();
    if (password.isEmpty())
        return check;
    CheckRecord bare = check;
    bare.address = withoutPassword(check.address);
    bare.error.replace(password, QStringLiteral("*****"));
    return bare;
}
