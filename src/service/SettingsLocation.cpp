#include "service/SettingsLocation.h"

#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SettingsLocation {

namespace {
const QString FileName = QStringLiteral("KV.ini");
// Named here, not after the application: the window's is "Korvane", while a program without
// one takes its name from its file (korvane, korvane-headless), and all must share one list.
const QString UserFolder = QStringLiteral("Korvane");
// Where the modes without a window kept their list before they shared the window's folder.
const QString EarlierUserFolder = QStringLiteral("korvane");
} // namespace

QString userSettingsFile(const QString& configHome) {
    const QDir home(configHome);
    const QString usual = home.filePath(UserFolder + QLatin1Char('/') + FileName);
    const QString earlier = home.filePath(EarlierUserFolder + QLatin1Char('/') + FileName);
    return !QFileInfo::exists(usual) && QFileInfo::exists(earlier) ? earlier : usual;
}

QString settingsFilePath() {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    // An installed copy keeps settings per user even where its folder is writable (root and
    // /usr/bin): one user's list must not become every user's, nor land among the programs.
    if (!ProgramFolders::installed() && QFileInfo(executableFolder).isWritable())
        return QDir(executableFolder).absoluteFilePath(FileName);
    const QString file =
        userSettingsFile(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QDir().mkpath(QFileInfo(file).absolutePath());
    return file;
}

QString chosen(const QString& named) {
    return named.isEmpty() ? settingsFilePath() : named;
}

} // namespace SettingsLocation
