#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class PageRecords;
class SecretStore;
class StatusLine;

// Keeps the pages' login passwords in the desktop's secret store, each under the settings file's
// path and the page's address, so they never go into the settings file. An address that still
// carries its password (typed so, or kept so by an older version) gives it up to the store once
// the store has answered; where no store answers, it keeps it, so nothing is lost.
class PagePasswords : public QObject {
public:
    PagePasswords(PageRecords& pages, SecretStore& secrets, const QString& settingsFile, StatusLine& status);

    // Asks the store for the password of every page with a login user.
    void load();
    // Keeps the pages' passwords, and removes those of pages that have none any more.
    void save();
    // The saves the store has not answered yet.
    int pending() const { return saving_; }

private:
    QString keyFor(const QString& address) const;
    void read(int page);

    PageRecords& pages_;
    SecretStore& secrets_;
    QString settingsPath_;
    StatusLine& status_;
    QSet<QString> stored_; // the keys the store holds, as far as this run knows
    int saving_ = 0;
};
