#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class ActivityLog;
class PageCursor;
class PageRecords;
class SecretStore;
class StatusLine;

// Keeps the pages' login passwords in the desktop's secret store, each under the settings file's
// path and the page's address, so they need not go into the settings file. An address that still
// carries its password (typed so, or kept so by an older version) gives it up at once: the page's
// address is shown and told without it from then on. The settings file keeps it in the address
// until the store has confirmed that it holds it; a store that cannot (none answers, or a file of
// secrets) leaves it there for good, and the log says so once.
class PagePasswords : public QObject {
public:
    PagePasswords(PageRecords& pages, SecretStore& secrets, const QString& settingsFile, StatusLine& status,
                  ActivityLog& log);

    // Takes the passwords out of the addresses, and asks the store for the password of every other
    // page with a login user.
    void load();
    // Keeps the pages' passwords, and removes those of pages that have none any more.
    void save();
    // The saves the store has not answered yet.
    int pending() const { return saving_; }

private:
    QString keyFor(const QString& address) const;
    void read(int page);
    // Asks the store for the page's password under key, then under olderKey when it has none.
    void lookUp(QPointer<PageCursor> cursor, const QString& key, const QString& olderKey);
    // The password out of the page's address goes to the store; the settings file keeps it until
    // the store says it holds it.
    void hand(int page, const QString& key, const QString& password);
    void keptInSettings();

    PageRecords& pages_;
    SecretStore& secrets_;
    QString settingsPath_;
    StatusLine& status_;
    ActivityLog& log_;
    QSet<QString> stored_; // the keys the store holds, as far as this run knows
    int saving_ = 0;
    bool toldKept_ = false;
};
