#include "notify/SecretStore.h"

#include "net/EventWait.h"

#include <QTimer>

QString noSecretStoreText() {
    return QStringLiteral("Password kept for this session only: no secret store");
}

void waitForAnswers(const std::function<int()>& pending, int waitMs) {
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(waitMs);
    EventWait::until([&pending, &limit] { return pending() == 0 || !limit.isActive(); });
}
