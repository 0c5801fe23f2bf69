#pragma once

#include <QObject>
#include <QString>

class SecretStore;
class Settings;
class StatusLine;

// Keeps one secret setting (the mail password of the "Email Setup" tab, a chat target's token)
// in the desktop's secret store, under the settings file's absolute path followed by the entry's
// name, so two settings files keep two secrets. The mail password's entry has no name. Where no
// secret store answers, the secret lasts this session only and the status line says so. Nothing
// here waits on the store while the program runs.
class PasswordStore : public QObject {
public:
    struct Controls {
        Settings* settings;
        QString key; // the secret's setting
        StatusLine* status;
    };

    PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile,
                  const QString& entry = {});

    // Asks the store; its answer becomes the setting, unless it was changed meanwhile.
    void load();
    // Keeps the setting's password; an empty one removes the stored one. A setting the store has
    // not filled yet and nobody changed says nothing about the stored password, which stays.
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
    bool filling_ = false; // the store's answer is being put into the setting
    int saving_ = 0;
};
