#include "support/FakeSecretStore.h"

FakeSecretStore& testSecrets() {
    static FakeSecretStore secrets;
    return secrets;
}
