#pragma once

#include <QString>

// Where "KV.ini" lives: beside the executable when that folder is writable, so a build folder
// or an unpacked copy is self-contained; otherwise in the user's configuration folder, so
// settings are never lost in an installed copy.
namespace SettingsLocation {

QString settingsFilePath(const QString& executableFolder, const QString& userConfigFolder);

// The same for the running program.
QString settingsFilePath();

// The settings file named with --settings, or the running program's usual one when none is.
QString chosen(const QString& named);

} // namespace SettingsLocation
