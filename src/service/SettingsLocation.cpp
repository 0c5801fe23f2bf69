#include "service/SettingsLocation.h"

#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SettingsLocation {

namespace {
const QString FileName = QStringLiteral("KV.ini");
}

QString settingsFilePath(const QString& executableFolder, const QString& userConfigFolder) {
    if (QFileInfo(executableFolder).isWritable())
        return QDir(executableFolder).absoluteFilePath(FileName);
    QDir().mkpath(userConfigFolder);
    return QDir(userConfigFolder).absoluteFilePath(FileName);
}

QString settingsFilePath() {
    const QString userConfigFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    // An installed copy keeps settings per user even where its folder is writable (root and
    // /usr/bin): one user's list must not become every user's, nor land among the programs.
    if (ProgramFolders::installed()) {
        QDir().mkpath(userConfigFolder);
        return QDir(userConfigFolder).absoluteFilePath(FileName);
    }
    return settingsFilePath(QCoreApplication::applicationDirPath(), userConfigFolder);
}

QString chosen(const QString& named) {
    return named.isEmpty() ? settingsFilePath() : named;
}

} // namespace SettingsLocation
