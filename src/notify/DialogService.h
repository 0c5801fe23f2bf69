#pragma once

#include <QString>
#include <optional>

// Every message box and dialog of the program goes through this one interface, so tests can
// answer them without a modal window blocking.
class DialogService {
public:
    virtual ~DialogService() = default;

    // The standard error message box, showing an error's own text.
    virtual void showError(const QString& text) = 0;

    // A plain message box with an OK button.
    virtual void showMessage(const QString& text) = 0;

    // A confirmation box with the buttons "&Yes" and "&No": whether the user chose "&Yes".
    // Closing the box is a "&No".
    virtual bool confirm(const QString& caption, const QString& text) = 0;

    // An input dialog with a caption, a prompt and an empty field: the text entered, or nothing
    // when the user cancels.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt) = 0;

    // An open-file dialog starting at fileName with one filter; the chosen file's full path,
    // or an empty text when the user cancels.
    virtual QString openFileName(const QString& fileName, const QString& filter,
                                 const QString& defaultExtension) = 0;

    // A save-file dialog starting at fileName with one filter, asking before it replaces a file;
    // the chosen file's full path, or an empty text when the user cancels.
    virtual QString saveFileName(const QString& fileName, const QString& filter,
                                 const QString& defaultExtension) = 0;

    // Shows the exception being handled in the error box; call it from a catch block.
    void showCurrentError();
};

// Wraps a handler so that an error it raises is reported right there, instead of unwinding
// through the toolkit's own frames (which would skip their clean-up) on its way to the
// application. The signal's arguments are not passed on.
template <class Handler> auto reported(DialogService& dialogs, Handler handler) {
    return [&dialogs, handler = std::move(handler)](auto&&...) {
        try {
            handler();
        } catch (...) {
            dialogs.showCurrentError();
        }
    };
}
