#pragma once

#include "notify/DialogService.h"

// The real dialogs, owned by the active window.
class QtDialogService : public DialogService {
public:
    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    bool confirm(const QString& caption, const QString& text) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt) override;
    QString openFileName(const QString& fileName, const QString& filter,
                         const QString& defaultExtension) override;
    QString saveFileName(const QString& fileName, const QString& filter,
                         const QString& defaultExtension) override;
};
