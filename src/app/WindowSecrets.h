#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <vector>

class PagePasswords;
class PageRecords;
class PasswordStore;
class SecretStore;
class Settings;
class StatusLine;

// The window's secrets: the mail password, the chat tokens and the pages' login passwords, kept
// in the desktop's secret store, or in the one a test hands in.
class WindowSecrets {
public:
    // A secret setting, and the name of its entry in the store.
    struct Field {
        QString key;
        QString entry;
    };

    WindowSecrets(SecretStore* secrets, Settings& settings, const QList<Field>& fields, PageRecords& pages,
                  StatusLine& status, const QString& settingsFile);
    ~WindowSecrets();

    // After the settings, so the pages are listed.
    void load();
    void save();
    // Gives the saves under way up to waitMs to be answered, for the end of the program.
    void finishSaving(int waitMs);

private:
    std::unique_ptr<SecretStore> own_;
    std::vector<std::unique_ptr<PasswordStore>> fields_;
    std::unique_ptr<PagePasswords> pages_;
};
