#include "notify/PasswordStore.h"

#include "notify/SecretStore.h"
#include "notify/StatusLine.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QPointer>

PasswordStore::PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile,
                             const QString& entry)
    : c_(controls), secrets_(secrets), key_(QFileInfo(settingsFile).absoluteFilePath() + entry) {
    connect(c_.settings, &Settings::changed, this, [this](const QString& key) {
        if (key == c_.key && !filling_)
            edited_ = true;
    });
}

void PasswordStore::load() {
    QPointer<PasswordStore> self(this);
    secrets_.read(key_, [self](bool answered, const QString& password) {
        if (!self)
            return;
        if (!answered)
            return self->reportNoStore();
        self->loaded_ = true;
        if (self->edited_)
            return;
        self->filling_ = true;
        self->c_.settings->setText(self->c_.key, password);
        self->filling_ = false;
    });
}

void PasswordStore::save() {
    if (!loaded_ && !edited_)
        return;
    const QString password = c_.settings->text(c_.key);
    QPointer<PasswordStore> self(this);
    const auto answer = [self](bool answered) {
        if (!self)
            return;
        --self->saving_;
        if (!answered)
            self->reportNoStore();
    };
    ++saving_;
    if (password.isEmpty())
        secrets_.remove(key_, answer);
    else
        secrets_.write(key_, password, answer);
}

void PasswordStore::reportNoStore() {
    c_.status->setText(noSecretStoreText());
}
