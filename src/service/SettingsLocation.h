#pragma once

#include <QString>

// Where "KV.ini" lives: beside the executable when that folder is writable, so a build folder
// or an unpacked copy is self-contained; otherwise in the user's configuration folder, so
// settings are never lost in an installed copy.
namespace SettingsLocation {

// "KV.ini" in the user's folder under configHome (~/.config, or $XDG_CONFIG_HOME): "Korvane",
// or "korvane" where only that one holds a KV.ini already.
QString userSettingsFile(const QString& configHome);

// The running program's settings file.
QString settingsFilePath();

// The settings file named with --settings, or the running program's usual one when none is.
QString chosen(const QString& named);

} // namespace SettingsLocation
