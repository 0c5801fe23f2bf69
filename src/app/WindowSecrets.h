#pragma once

#include "notify/PasswordStore.h"

#include <memory>

class PagePasswords;
class PageRecords;
class SecretStore;

// The window's secrets: the mail password and the pages' login passwords, kept in the desktop's
// secret store, or in the one a test hands in.
class WindowSecrets {
public:
    WindowSecrets(SecretStore* secrets, const PasswordStore::Controls& mail, PageRecords& pages,
                  const QString& settingsFile);
    ~WindowSecrets();

    // After the settings, so the pages are listed.
    void load();
    void save();
    // Gives the saves under way up to waitMs to be answered, for the end of the program.
    void finishSaving(int waitMs);

private:
    std::unique_ptr<SecretStore> own_;
    std::unique_ptr<PasswordStore> mail_;
    std::unique_ptr<PagePasswords> pages_;
};
