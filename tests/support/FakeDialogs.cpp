#include "support/FakeDialogs.h"

FakeDialogs& testDialogs() {
    static FakeDialogs dialogs;
    return dialogs;
}
