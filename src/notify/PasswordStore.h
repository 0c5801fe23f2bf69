#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class SecretStore;
class TStatusBar;

// Keeps the secret of one field (the mail password of the "Email Setup" tab, a chat target's
// token) in the desktop's secret store, under the settings file's absolute path followed by the
// entry's name, so two settings files keep two secrets. The mail password's entry has no name.
// Where no secret store answers, the secret lives in its field for this session only and the
// status bar says so. Nothing here waits on the store while the window runs.
class PasswordStore : public QObject {
public:
    struct Controls {
        QLineEdit* SecretField;
        TStatusBar* StatusBar1;
    };

    PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile,
                  const QString& entry = {});

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
