#pragma once

#include <QApplication>

class DialogService;

// The application object. An exception escaping any event handler is shown in the standard
// error message box with its own text, and the program goes on with the next event.
class TKorvaneApplication : public QApplication {
    Q_OBJECT
public:
    TKorvaneApplication(int& argc, char** argv, DialogService& dialogs);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception being handled in the standard error message box; call it from a
    // catch block.
    static void HandleException();

private:
    DialogService* dialogs_;
};

// Wraps a handler so that an error it raises is reported right there, instead of unwinding
// through the toolkit's own frames (which would skip their clean-up) on its way to notify().
// The signal's arguments are not passed on.
template <class Handler> auto reported(Handler handler) {
    return [handler = std::move(handler)](auto&&...) {
        try {
            handler();
        } catch (...) {
            TKorvaneApplication::HandleException();
        }
    };
}
