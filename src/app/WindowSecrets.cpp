#include "app/WindowSecrets.h"

#include "app/PagePasswords.h"
#include "notify/KeychainSecretStore.h"

WindowSecrets::WindowSecrets(SecretStore* secrets, const PasswordStore::Controls& mail, PageRecords& pages,
                             const QString& settingsFile) {
    if (!secrets) {
        own_ = std::make_unique<KeychainSecretStore>();
        secrets = own_.get();
    }
    mail_ = std::make_unique<PasswordStore>(mail, *secrets, settingsFile);
    pages_ = std::make_unique<PagePasswords>(pages, *secrets, settingsFile, mail.StatusBar1);
}

WindowSecrets::~WindowSecrets() = default;

void WindowSecrets::load() {
    mail_->load();
    pages_->load();
}

void WindowSecrets::save() {
    mail_->save();
    pages_->save();
}

void WindowSecrets::finishSaving(int waitMs) {
    waitForAnswers([this] { return mail_->pending() + pages_->pending(); }, waitMs);
}
