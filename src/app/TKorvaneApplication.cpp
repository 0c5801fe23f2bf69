#include "app/TKorvaneApplication.h"

#include "browser/WebEngineSetup.h"
#include "notify/DialogService.h"

#include <cstdio>

TKorvaneApplication::TKorvaneApplication(int& argc, char** argv, DialogService& dialogs)
    : ExceptionGuard<QApplication>(WebEngineSetup::beforeApplication(argc), argv), dialogs_(&dialogs) {
    setApplicationName(QStringLiteral("Korvane"));
    setApplicationDisplayName(QStringLiteral("Korvane"));
    setCaught([this](std::exception_ptr error) { showLater(error); });
}

void TKorvaneApplication::showLater(std::exception_ptr error) {
    try {
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                try {
                    std::rethrow_exception(error);
                } catch (...) {
                    dialogs_->showCurrentError();
                }
            },
            Qt::QueuedConnection);
    } catch (...) {
        // Not even the box could be posted: say so where no memory is needed.
        std::fputs("Korvane: an error could not be shown\n", stderr);
    }
}
