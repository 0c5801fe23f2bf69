#pragma once

#include <QString>

// A place for secrets outside the settings file, keyed by a name. Every call tells whether the
// store answered at all: a desktop without a secret service answers none of them.
class SecretStore {
public:
    virtual ~SecretStore() = default;

    // An entry the store does not hold reads as empty.
    virtual bool read(const QString& key, QString& secret) = 0;
    virtual bool write(const QString& key, const QString& secret) = 0;
    // Removing an entry the store does not hold is an answer too.
    virtual bool remove(const QString& key) = 0;
};
