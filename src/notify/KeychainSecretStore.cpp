#include "notify/KeychainSecretStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {

const QString Service = QStringLiteral("Korvane");
constexpr int AnswerTimeoutMs = 5000;

} // namespace

bool KeychainSecretStore::run(QKeychain::Job* job, const QString& key, QString* readBack) {
    // The secret must never end up in a plain file when the service is missing.
    job->setInsecureFallback(false);
    job->setKey(key);
    bool finished = false;
    bool answered = false;
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        finished = true;
        answered = done->error() == QKeychain::NoError || done->error() == QKeychain::EntryNotFound;
        if (readBack && done->error() == QKeychain::NoError)
            *readBack = static_cast<QKeychain::ReadPasswordJob*>(done)->textData();
        loop.quit();
    });
    QTimer::singleShot(AnswerTimeoutMs, &loop, &QEventLoop::quit);
    job->start();
    // A job that failed inside start() has already finished.
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A job deletes itself once finished; one that stayed silent goes with the application.
    return answered;
}

bool KeychainSecretStore::read(const QString& key, QString& secret) {
    secret.clear();
    return run(new QKeychain::ReadPasswordJob(Service, QCoreApplication::instance()), key, &secret);
}

bool KeychainSecretStore::write(const QString& key, const QString& secret) {
    auto* job = new QKeychain::WritePasswordJob(Service, QCoreApplication::instance());
    job->setTextData(secret);
    return run(job, key);
}

bool KeychainSecretStore::remove(const QString& key) {
    return run(new QKeychain::DeletePasswordJob(Service, QCoreApplication::instance()), key);
}
