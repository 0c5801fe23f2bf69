#pragma once

#include <QString>
#include <functional>

// A place for secrets outside the settings file, keyed by a name. No call waits: the answer comes
// through the callback, later or at once. answered tells whether the store answered at all: a
// desktop without a secret service answers none of them. A write answered holds the secret: a
// store that cannot keep it (a file of secrets, which is never written) does not answer it.
class SecretStore {
public:
    using ReadAnswer = std::function<void(bool answered, const QString& secret)>;
    using Answer = std::function<void(bool answered)>;

    virtual ~SecretStore() = default;

    // An entry the store does not hold reads as empty.
    virtual void read(const QString& key, ReadAnswer answer) = 0;
    virtual void write(const QString& key, const QString& secret, Answer answer) = 0;
    // Removing an entry the store does not hold is an answer too.
    virtual void remove(const QString& key, Answer answer) = 0;
};

// What the status bar says when the store does not answer: the secret lives for this session only.
QString noSecretStoreText();
