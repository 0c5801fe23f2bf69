#include "app/SettingsLocation.h"

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
    return settingsFilePath(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace SettingsLocation
