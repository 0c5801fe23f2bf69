#pragma once

#include "notify/SecretStore.h"

#include <QMap>

// A secret store in memory. With present false it answers nothing, as on a desktop without a
// secret service.
class FakeSecretStore : public SecretStore {
public:
    bool read(const QString& key, QString& secret) override {
        secret = entries.value(key);
        return present;
    }
    bool write(const QString& key, const QString& secret) override {
        if (present)
            entries.insert(key, secret);
        return present;
    }
    bool remove(const QString& key) override {
        if (present)
            entries.remove(key);
        return present;
    }

    bool present = true;
    QMap<QString, QString> entries;
};

// The secret store of every window the test executable starts.
FakeSecretStore& testSecrets();
