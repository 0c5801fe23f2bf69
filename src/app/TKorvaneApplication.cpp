#include "app/TKorvaneApplication.h"

#include "app/DialogService.h"

#include <exception>

TKorvaneApplication::TKorvaneApplication(int& argc, char** argv, DialogService& dialogs)
    : QApplication(argc, argv), dialogs_(&dialogs) {
    setApplicationName(QStringLiteral("Korvane"));
    setApplicationDisplayName(QStringLiteral("Korvane"));
}

bool TKorvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        dialogs_->showError(QString::fromUtf8(error.what()));
    } catch (...) {
        dialogs_->showError(QStringLiteral("Unknown error"));
    }
    return false;
}
