#pragma once

#include "notify/SecretStore.h"

#include <QList>
#include <QMap>

// A secret store in memory. With present false it answers nothing, as on a desktop without a
// secret service. With held true its answers wait in a queue until release(), as a slow
// service's would.
class FakeSecretStore : public SecretStore {
public:
    void read(const QString& key, ReadAnswer answer) override;
    void write(const QString& key, const QString& secret, Answer answer) override;
    void remove(const QString& key, Answer answer) override;
    // Gives the answers held back so far.
    void release();

    bool present = true;
    bool held = false;
    QMap<QString, QString> entries;

private:
    void reply(std::function<void()> answer);

    QList<std::function<void()>> waiting_;
};

// The secret store of every window the test executable starts.
FakeSecretStore& testSecrets();
