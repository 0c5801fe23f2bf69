#include "notify/KeychainSecretStore.h"

#include <QCoreApplication>
#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>
#include <utility>

namespace {

const QString Service = QStringLiteral("Korvane");
constexpr int AnswerTimeoutMs = 5000;

bool answered(const QKeychain::Job* job) {
    return job && (job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound);
}

} // namespace

// Nothing here waits in a loop of its own: a nested loop would hold back the window system's
// input, the close request among it, for as long as the service takes.
void KeychainSecretStore::run(QKeychain::Job* job, const QString& key,
                              std::function<void(QKeychain::Job*)> finished) {
    // The secret must never end up in a plain file when the service is missing.
    job->setInsecureFallback(false);
    job->setKey(key);
    auto settle = [settled = std::make_shared<bool>(false),
                   finished = std::move(finished)](QKeychain::Job* done) {
        if (!std::exchange(*settled, true))
            finished(done);
    };
    QObject::connect(job, &QKeychain::Job::finished, &answers_, settle);
    QTimer::singleShot(AnswerTimeoutMs, &answers_, [settle] { settle(nullptr); });
    // A job deletes itself once finished; one that stays silent goes with the application.
    job->start();
}

void KeychainSecretStore::read(const QString& key, ReadAnswer answer) {
    run(new QKeychain::ReadPasswordJob(Service, QCoreApplication::instance()), key,
        [answer = std::move(answer)](QKeychain::Job* job) {
            const bool found = job && job->error() == QKeychain::NoError;
            answer(answered(job),
                   found ? static_cast<QKeychain::ReadPasswordJob*>(job)->textData() : QString());
        });
}

void KeychainSecretStore::write(const QString& key, const QString& secret, Answer answer) {
    auto* job = new QKeychain::WritePasswordJob(Service, QCoreApplication::instance());
    job->setTextData(secret);
    run(job, key, [answer = std::move(answer)](QKeychain::Job* done) { answer(answered(done)); });
}

void KeychainSecretStore::remove(const QString& key, Answer answer) {
    run(new QKeychain::DeletePasswordJob(Service, QCoreApplication::instance()), key,
        [answer = std::move(answer)](QKeychain::Job* done) { answer(answered(done)); });
}
