#include "app/WindowSecrets.h"

#include "app/PagePasswords.h"
#include "notify/KeychainSecretStore.h"
#include "notify/PasswordStore.h"

WindowSecrets::WindowSecrets(SecretStore* secrets, Settings& settings, const QList<Field>& fields,
                             PageRecords& pages, StatusLine& status, const QString& settingsFile) {
    if (!secrets) {
        own_ = std::make_unique<KeychainSecretStore>();
        secrets = own_.get();
    }
    for (const Field& field : fields)
        fields_.push_back(std::make_unique<PasswordStore>(
            PasswordStore::Controls{&settings, field.key, &status}, *secrets, settingsFile, field.entry));
    pages_ = std::make_unique<PagePasswords>(pages, *secrets, settingsFile, status);
}

WindowSecrets::~WindowSecrets() = default;

void WindowSecrets::load() {
    for (const auto& field : fields_)
        field->load();
    pages_->load();
}

void WindowSecrets::save() {
    for (const auto& field : fields_)
        field->save();
    pages_->save();
}

void WindowSecrets::finishSaving(int waitMs) {
    waitForAnswers(
        [this] {
            int pending = pages_->pending();
            for (const auto& field : fields_)
                pending += field->pending();
            return pending;
        },
        waitMs);
}
