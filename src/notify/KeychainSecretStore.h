#pragma once

#include "notify/SecretStore.h"

#include <QObject>

namespace QKeychain {
class Job;
}

// The desktop's secret service (through QtKeychain), service name "Korvane". A service that stays
// silent for a few seconds counts as none. Answers still on their way when the store goes are
// dropped.
class KeychainSecretStore : public SecretStore {
public:
    void read(const QString& key, ReadAnswer answer) override;
    void write(const QString& key, const QString& secret, Answer answer) override;
    void remove(const QString& key, Answer answer) override;

private:
    // Starts the job; finished gets it when it ends, or null when the service stayed silent.
    void run(QKeychain::Job* job, const QString& key, std::function<void(QKeychain::Job*)> finished);

    // The answers are connected to this object, so that none arrives after the store is gone.
    QObject answers_;
};
