#include "support/SettingsFolder.h"

#include <QDir>
#include <QFile>

SettingsFolder::SettingsFolder(const QByteArray& settingsText) {
    QFile file(settingsPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(settingsText) != settingsText.size())
        qFatal("cannot write the test settings file");
}

QString SettingsFolder::settingsPath() const {
    return QDir(dir_.path()).filePath(QStringLiteral("KV.ini"));
}

QByteArray SettingsFolder::settingsText() const {
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
