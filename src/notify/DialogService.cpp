#include "notify/DialogService.h"

#include <exception>

void DialogService::showCurrentError() {
    QString text;
    try {
        throw;
    } catch (const std::exception& error) {
        text = QString::fromUtf8(error.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    showError(text);
}
