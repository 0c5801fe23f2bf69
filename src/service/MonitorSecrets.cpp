#include "service/MonitorSecrets.h"

#include "net/EventWait.h"
#include "notify/ChatSender.h"
#include "notify/KeychainSecretStore.h"
#include "notify/PagePasswords.h"
#include "notify/PasswordStore.h"
#include "settings/ChatService.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

struct Field {
    QString key;   // the secret's setting
    QString entry; // its name in the store, after the settings file's path
    // Whether the settings put the secret to use; none: never missed here.
    std::function<bool(const Settings&)> inUse;
};

bool filled(const Settings& settings, const QString& key) {
    return !settings.text(key).trimmed().isEmpty();
}

QList<Field> fields() {
    QList<Field> all{{QStringLiteral("EditEmailPassword"), {}, [](const Settings& s) {
                          return filled(s, QStringLiteral("EditEmailUser"));
                      }}};
    for (int target = 1; target <= ChatSender::Targets; ++target)
        all.append({QStringLiteral("EditChatToken%1").arg(target), QStringLiteral(" chat #%1").arg(target),
                    [target](const Settings& s) {
                        // A service that carries its secret in its address takes no token.
                        return filled(s, QStringLiteral("EditChatAddress%1").arg(target)) &&
                               chatServiceUsesToken(chatServiceNamed(
                                   s.text(QStringLiteral("ComboChatService%1").arg(target))));
                    }});
    // Asked for where the metrics are served, which says itself when it lacks one.
    all.append({QStringLiteral("EditMetricsToken"), QStringLiteral(" metrics"), {}});
    return all;
}

} // namespace

QString secretName(const QString& key, const QString& settingsFile) {
    const QString path = QFileInfo(settingsFile).absoluteFilePath();
    const QString entry = (key.startsWith(path) ? key.mid(path.size()) : key).trimmed();
    return entry.isEmpty() ? QStringLiteral("mail") : entry;
}

// Passes every call to the store, counting the reads still unanswered and noticing a secret in
// use that comes back empty.
class MonitorSecrets::Noticing : public SecretStore {
public:
    Noticing(SecretStore& store, const Settings& settings, const QString& settingsFile, Missing missing)
        : store_(store), settings_(settings), settingsFile_(settingsFile), missing_(std::move(missing)) {
        for (const Field& field : fields())
            inUse_.insert(secretName(QFileInfo(settingsFile).absoluteFilePath() + field.entry, settingsFile),
                          field.inUse);
    }

    void read(const QString& key, ReadAnswer answer) override {
        ++reading_;
        // The store may answer after these secrets are gone: the answer still goes to its reader,
        // which looks after itself.
        std::weak_ptr<Noticing*> self = self_;
        store_.read(key, [this, self, key, answer = std::move(answer)](bool answered, const QString& secret) {
            if (self.expired())
                return answer(answered, secret);
            if (secret.isEmpty())
                notice(secretName(key, settingsFile_));
            answer(answered, secret);
            if (--reading_ == 0)
                for (auto& done : std::exchange(whenRead_, {}))
                    done();
        });
    }
    void write(const QString& key, const QString& secret, Answer answer) override {
        store_.write(key, secret, std::move(answer));
    }
    void remove(const QString& key, Answer answer) override { store_.remove(key, std::move(answer)); }

    void whenRead(std::function<void()> done) {
        if (reading_ == 0)
            return done();
        whenRead_.push_back(std::move(done));
    }

private:
    void notice(const QString& name) {
        if (!missing_ || told_.contains(name))
            return;
        // A page's password is read only for a page with a login; the others only matter when
        // what uses them is set up.
        const auto used = inUse_.constFind(name);
        if (used != inUse_.cend() && (!*used || !(*used)(settings_)))
            return;
        told_.insert(name);
        missing_(name);
    }

    SecretStore& store_;
    const Settings& settings_;
    QString settingsFile_;
    Missing missing_;
    QHash<QString, std::function<bool(const Settings&)>> inUse_;
    QSet<QString> told_;
    int reading_ = 0;
    std::vector<std::function<void()>> whenRead_;
    std::shared_ptr<Noticing*> self_ = std::make_shared<Noticing*>(this);
};

MonitorSecrets::MonitorSecrets(SecretStore* secrets, Settings& settings, PageRecords& pages,
                               StatusLine& status, ActivityLog& log, const QString& settingsFile,
                               Missing missing) {
    if (!secrets) {
        own_ = std::make_unique<KeychainSecretStore>();
        secrets = own_.get();
    }
    noticing_ = std::make_unique<Noticing>(*secrets, settings, settingsFile, std::move(missing));
    for (const Field& field : fields())
        fields_.push_back(std::make_unique<PasswordStore>(
            PasswordStore::Controls{&settings, field.key, &status}, *noticing_, settingsFile, field.entry));
    pages_ = std::make_unique<PagePasswords>(pages, *noticing_, settingsFile, status, log);
}

MonitorSecrets::~MonitorSecrets() = default;

void MonitorSecrets::load() {
    for (const auto& field : fields_)
        field->load();
    pages_->load();
}

void MonitorSecrets::whenLoaded(std::function<void()> done) {
    noticing_->whenRead(std::move(done));
}

void MonitorSecrets::save() {
    for (const auto& field : fields_)
        field->save();
    pages_->save();
}

void MonitorSecrets::finishSaving(QDeadlineTimer deadline) {
    EventWait::untilNonePending(
        [this] {
            int pending = pages_->pending();
            for (const auto& field : fields_)
                pending += field->pending();
            return pending;
        },
        deadline);
}
