#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class SecretStore;
class TStatusBar;

// Keeps the mail password of the "Email Setup" tab in the desktop's secret store, under the
// settings file's absolute path, so two settings files keep two passwords. Where no secret
// store answers, the password lives in its field for this session only and the status bar
// says so. Nothing here waits on the store while the window runs.
class PasswordStore : public QObject {
public:
    struct Controls {
        QLineEdit* EditEmailPassword;
        TStatusBar* StatusBar1;
    };

    PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile);

    // Asks the store; its answer fills the field, unless the user has typed in it meanwhile.
    void load();
    // Keeps the field's password; an empty field removes the stored one. A field the store has
    // not filled yet and nobody touched says nothing about the stored password, which stays.
    void save();
    // The saves the store has not answered yet.
    int pending() const { return saving_; }

private:
    void reportNoStore();

    Controls c_;
    SecretStore& secrets_;
    QString key_;
    bool loaded_ = false; // the store answered the load
    bool edited_ = false;
    int saving_ = 0;
};
