#include "notify/PagePasswords.h"

#include "net/AddressLogin.h"
#include "notify/ActivityLog.h"
#include "notify/SecretStore.h"
#include "notify/StatusLine.h"
#include "pages/PageAddress.h"
#include "pages/PageCursor.h"
#include "pages/PageRecords.h"

#include <QFileInfo>
#include <QPointer>

PagePasswords::PagePasswords(PageRecords& pages, SecretStore& secrets, const QString& settingsFile,
                             StatusLine& status, ActivityLog& log)
    : pages_(pages), secrets_(secrets), settingsPath_(QFileInfo(settingsFile).absoluteFilePath()),
      status_(status), log_(log) {}

QString PagePasswords::keyFor(const QString& address) const {
    return settingsPath_ + QStringLiteral(" page ") + address;
}

void PagePasswords::load() {
    for (int page = 0; page < pages_.pageCount(); ++page)
        read(page);
}

void PagePasswords::read(int page) {
    const AddressLogin login = splitLogin(pages_.url(page));
    const QString key = keyFor(login.address);
    if (!login.password.isEmpty())
        return hand(page, key, login.password);
    if (login.user.isEmpty() && pages_.options(page).user.isEmpty())
        return;
    // The answer may come after the user moved or deleted the page.
    QPointer<PageCursor> cursor = new PageCursor(pages_, page);
    cursor->setParent(this);
    // An older version kept an address typed percent-encoded, and its password, under that form.
    const QString olderKey = keyFor(storedPageAddress(login.address));
    lookUp(cursor, key, olderKey != key ? olderKey : QString());
}

void PagePasswords::lookUp(QPointer<PageCursor> cursor, const QString& key, const QString& olderKey) {
    QPointer<PagePasswords> self(this);
    secrets_.read(key, [self, cursor, key, olderKey](bool answered, const QString& secret) {
        if (!self || !cursor)
            return;
        if (!answered) {
            cursor->deleteLater();
            self->status_.setText(noSecretStoreText());
            return;
        }
        if (secret.isEmpty() && !olderKey.isEmpty())
            return self->lookUp(cursor, olderKey, {});
        cursor->deleteLater();
        if (!secret.isEmpty())
            self->stored_.insert(key);
        if (cursor->deleted())
            return;
        const int at = cursor->position();
        PageOptions options = self->pages_.options(at);
        if (options.password.isEmpty()) {
            options.password = secret;
            self->pages_.setOptions(at, options);
        }
    });
}

void PagePasswords::hand(int page, const QString& key, const QString& password) {
    pages_.takeLogin(page, splitLogin(pages_.url(page)));
    pages_.setAddress(page, splitLogin(pages_.url(page)).address);
    pages_.setPasswordInSettings(page, true);
    QPointer<PageCursor> cursor = new PageCursor(pages_, page);
    cursor->setParent(this);
    QPointer<PagePasswords> self(this);
    ++saving_;
    secrets_.write(key, password, [self, cursor, key](bool held) {
        if (!self)
            return;
        --self->saving_;
        if (cursor)
            cursor->deleteLater();
        if (!held)
            return self->keptInSettings();
        self->stored_.insert(key);
        if (cursor && !cursor->deleted())
            self->pages_.setPasswordInSettings(cursor->position(), false);
    });
}

void PagePasswords::keptInSettings() {
    if (std::exchange(toldKept_, true))
        return;
    log_.AddLogLine(
        QStringLiteral("Page passwords stay in %1, as no secret store holds them").arg(settingsPath_));
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
