#include "support/FakeSecretStore.h"

#include <utility>

FakeSecretStore& testSecrets() {
    static FakeSecretStore secrets;
    return secrets;
}

void FakeSecretStore::reply(std::function<void()> answer) {
    if (held)
        waiting_.append(std::move(answer));
    else
        answer();
}

void FakeSecretStore::release() {
    for (const auto& answer : std::exchange(waiting_, {}))
        answer();
}

void FakeSecretStore::read(const QString& key, ReadAnswer answer) {
    reply([this, key, answer = std::move(answer)] {
        answer(present, present ? entries.value(key) : QString());
    });
}

void FakeSecretStore::write(const QString& key, const QString& secret, Answer answer) {
    reply([this, key, secret, answer = std::move(answer)] {
        if (present)
            entries.insert(key, secret);
        answer(present);
    });
}

void FakeSecretStore::remove(const QString& key, Answer answer) {
    reply([this, key, answer = std::move(answer)] {
        if (present)
            entries.remove(key);
        answer(present);
    });
}
