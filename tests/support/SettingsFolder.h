#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A folder of the test's own holding the settings file the program under test runs on.
class SettingsFolder {
public:
    SettingsFolder() = default;
    // The settings file starts with this text.
    explicit SettingsFolder(const QByteArray& settingsText);

    QString settingsPath() const;
    QString folder() const { return dir_.path(); }
    QByteArray settingsText() const;

private:
    QTemporaryDir dir_;
};
