#include "support/WindowFixture.h"

#include "history/HistoryStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeSecretStore.h"

#include <QTest>

TFormMainWindow& WindowFixture::start() {
    window_ = std::make_unique<TFormMainWindow>(settingsPath(), testDialogs(), &testSecrets());
    window_->show();
    // The history opens on a thread of its own; a test begins where the pages are restored.
    if (!QTest::qWaitFor([this] { return !window_->history().opening(); }, 60000))
        qFatal("the history did not open");
    return *window_;
}

void WindowFixture::close() {
    if (window_)
        window_->close();
    window_.reset();
}

TFormMainWindow& WindowFixture::restart() {
    close();
    return start();
}
