#include "notify/PagePasswords.h"

#include "net/AddressLogin.h"
#include "notify/SecretStore.h"
#include "notify/StatusLine.h"
#include "pages/PageCursor.h"
#include "pages/PageRecords.h"

#include <QFileInfo>
#include <QPointer>

PagePasswords::PagePasswords(PageRecords& pages, SecretStore& secrets, const QString& settingsFile,
                             StatusLine& status)
    : pages_(pages), secrets_(secrets), settingsPath_(QFileInfo(settingsFile).absoluteFilePath()),
      status_(status) {}

QString PagePasswords::keyFor(const QString& address) const {
    return settingsPath_ + QStringLiteral(" page ") + address;
}

void PagePasswords::load() {
    for (int page = 0; page < pages_.pageCount(); ++page)
        read(page);
}

void PagePasswords::read(int page) {
    const AddressLogin login = splitLogin(pages_.url(page));
    if (login.user.isEmpty() && pages_.options(page).user.isEmpty())
        return;
    const QString key = keyFor(login.address);
    // The answer may come after the user moved or deleted the page.
    QPointer<PageCursor> cursor = new PageCursor(pages_, page);
    cursor->setParent(this);
    QPointer<PagePasswords> self(this);
    secrets_.read(key, [self, cursor, login, key](bool answered, const QString& secret) {
        if (!self || !cursor)
            return;
        cursor->deleteLater();
        if (!answered) {
            self->status_.setText(noSecretStoreText());
            return;
        }
        if (!secret.isEmpty())
            self->stored_.insert(key);
        if (cursor->deleted())
            return;
        const int at = cursor->position();
        if (!login.password.isEmpty()) {
            self->pages_.takeLogin(at, login);
            self->pages_.setAddress(at, login.address);
            return;
        }
        PageOptions options = self->pages_.options(at);
        if (options.password.isEmpty()) {
            options.password = secret;
            self->pages_.setOptions(at, options);
        }
    });
}

void PagePasswords::save() {
    QSet<QString> current;
    QPointer<PagePasswords> self(this);
    const auto answer = [self](bool answered) {
        if (!self)
            return;
        --self->saving_;
        if (!answered)
            self->status_.setText(noSecretStoreText());
    };
    for (int page = 0; page < pages_.pageCount(); ++page) {
        const QString password = pages_.options(page).password;
        if (password.isEmpty())
            continue;
        const QString key = keyFor(splitLogin(pages_.url(page)).address);
        current.insert(key);
        ++saving_;
        secrets_.write(key, password, answer);
    }
    for (const QString& key : stored_ - current) {
        ++saving_;
        secrets_.remove(key, answer);
    }
    stored_ = current;
}
