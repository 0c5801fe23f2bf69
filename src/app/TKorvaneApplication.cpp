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
    } catch (...) {
        HandleException();
    }
    return false;
}

void TKorvaneApplication::HandleException() {
    QString text;
    try {
        throw;
    } catch (const std::exception& error) {
        text = QString::fromUtf8(error.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    if (auto* app = qobject_cast<TKorvaneApplication*>(QCoreApplication::instance()))
        app->dialogs_->showError(text);
    else
        qWarning("%s", qPrintable(text));
}
