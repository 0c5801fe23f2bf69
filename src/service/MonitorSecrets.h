#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class ActivityLog;
class PagePasswords;
class PageRecords;
class PasswordStore;
class SecretStore;
class Settings;
class StatusLine;

// The monitor's secrets: the mail password, the chat tokens, the metrics token and the pages'
// login passwords, kept in the desktop's secret store, or in the one handed in (a file of
// secrets on a server, a test's).
class MonitorSecrets {
public:
    // Hears, once per secret, that one in use could not be had: the store did not answer or does
    // not hold it. name is as a secrets file names it ("mail", "chat #1", "page <address>").
    using Missing = std::function<void(const QString& name)>;

    MonitorSecrets(SecretStore* secrets, Settings& settings, PageRecords& pages, StatusLine& status,
                   ActivityLog& log, const QString& settingsFile, Missing missing = {});
    ~MonitorSecrets();

    // After the settings, so the pages are listed.
    void load();
    // Calls done once every secret asked for by load() has its answer (at once when none is
    // outstanding).
    void whenLoaded(std::function<void()> done);
    void save();
    // Gives the saves under way until the deadline to be answered, for the end of the program.
    void finishSaving(QDeadlineTimer deadline);

private:
    class Noticing;

    std::unique_ptr<SecretStore> own_;
    std::unique_ptr<Noticing> noticing_;
    std::vector<std::unique_ptr<PasswordStore>> fields_;
    std::unique_ptr<PagePasswords> pages_;
};

// A secret's key in the store, as a secrets file names it: the settings file's path left out,
// "mail" for the mail password.
QString secretName(const QString& key, const QString& settingsFile);
