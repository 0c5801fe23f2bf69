#pragma once

#include <QString>

// Every message box and dialog of the program goes through this one interface, so tests can
// answer them without a modal window blocking.
class DialogService {
public:
    virtual ~DialogService() = default;

    // The standard error message box, showing an error's own text.
    virtual void showError(const QString& text) = 0;

    // An open-file dialog starting at fileName with one filter; the chosen file's full path,
    // or an empty text when the user cancels.
    virtual QString openFileName(const QString& fileName, const QString& filter,
                                 const QString& defaultExtension) = 0;
};
