#pragma once

#include "views/DialogService.h"

// The real dialogs, owned by the active window.
class QtDialogService : public DialogService {
public:
    void showError(const QString& text) override;
    QString openFileName(const QString& fileName, const QString& filter,
                         const QString& defaultExtension) override;
};
