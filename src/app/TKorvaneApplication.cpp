#include "app/TKorvaneApplication.h"

#include "browser/WebEngineSetup.h"
#include "views/DialogService.h"

TKorvaneApplication::TKorvaneApplication(int& argc, char** argv, DialogService& dialogs)
    : QApplication(WebEngineSetup::beforeApplication(argc), argv), dialogs_(&dialogs) {
    setApplicationName(QStringLiteral("Korvane"));
    setApplicationDisplayName(QStringLiteral("Korvane"));
}

bool TKorvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        dialogs_->showCurrentError();
    }
    return false;
}
