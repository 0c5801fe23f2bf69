#include "notify/PasswordStore.h"

#include "notify/SecretStore.h"
#include "views/TStatusBar.h"

#include <QFileInfo>
#include <QLineEdit>

PasswordStore::PasswordStore(const Controls& controls, SecretStore& secrets, const QString& settingsFile)
    : c_(controls), secrets_(secrets), key_(QFileInfo(settingsFile).absoluteFilePath()) {}

void PasswordStore::load() {
    QString password;
    if (!secrets_.read(key_, password)) {
        reportNoStore();
        return;
    }
    c_.EditEmailPassword->setText(password);
}

void PasswordStore::save() {
    const QString password = c_.EditEmailPassword->text();
    const bool answered = password.isEmpty() ? secrets_.remove(key_) : secrets_.write(key_, password);
    if (!answered)
        reportNoStore();
}

void PasswordStore::reportNoStore() {
    c_.StatusBar1->setSimpleText(QStringLiteral("Password kept for this session only: no secret store"));
}
