#pragma once

#include "notify/SecretStore.h"

namespace QKeychain {
class Job;
}

// The desktop's secret service (through QtKeychain), service name "Korvane". Each call waits
// for its answer, at most a few seconds: a service that stays silent counts as none.
class KeychainSecretStore : public SecretStore {
public:
    bool read(const QString& key, QString& secret) override;
    bool write(const QString& key, const QString& secret) override;
    bool remove(const QString& key) override;

private:
    // Runs the job to its end; false when it did not finish in time or the service failed.
    static bool run(QKeychain::Job* job, const QString& key, QString* readBack = nullptr);
};
