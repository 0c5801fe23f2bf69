#pragma once

#include <QString>

class QLineEdit;
class SecretStore;
class TStatusBar;

// Keeps the mail password of the "Email Setup" tab in the desktop's secret store, under the
// settings file's absolute path, so two settings files keep two passwords. Where no secret
// store answers, the password lives in its field for this session only and the status bar
// says so.
class PasswordStore {
public:
    struct Controls {
        QLineEdit* EditEmailPassword;
        TStatusBar* StatusBar1;
    };

    PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile);

    // Fills the field from the store.
    void load();
    // Keeps the field's password; an empty field removes the stored one.
    void save();

private:
    void reportNoStore();

    Controls c_;
    SecretStore& secrets_;
    QString key_;
};
