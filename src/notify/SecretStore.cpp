#include "notify/SecretStore.h"

QString noSecretStoreText() {
    return QStringLiteral("Password kept for this session only: no secret store");
}
