#include "notify/PasswordStore.h"

#include "notify/SecretStore.h"
#include "views/TStatusBar.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>

PasswordStore::PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile,
                             const QString& entry)
    : c_(controls), secrets_(secrets), key_(QFileInfo(settingsFile).absoluteFilePath() + entry) {
    connect(c_.SecretField, &QLineEdit::textEdited, this, [this] { edited_ = true; });
}

void PasswordStore::load() {
    QPointer<PasswordStore> self(this);
    secrets_.read(key_, [self](bool answered, const QString& password) {
        if (!self)
            return;
        if (!answered)
            return self->reportNoStore();
        self->loaded_ = true;
        if (!self->edited_)
            self->c_.SecretField->setText(password);
    });
}

void PasswordStore::save() {
    if (!loaded_ && !edited_)
        return;
    const QString password = c_.SecretField->text();
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
    c_.StatusBar1->setSimpleText(noSecretStoreText());
}
