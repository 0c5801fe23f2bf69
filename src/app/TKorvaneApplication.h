#pragma once

#include "service/ExceptionGuard.h"

#include <QApplication>
#include <exception>

class DialogService;

// The application object. An exception escaping any event handler is shown in the standard
// error message box with its own text, and the program goes on with the next event.
class TKorvaneApplication : public ExceptionGuard<QApplication> {
    Q_OBJECT
public:
    TKorvaneApplication(int& argc, char** argv, DialogService& dialogs);

private:
    // The box is shown from the event loop once the failing handler has unwound: a handler that
    // ran out of memory has given it back by then, and none of its state is in use.
    void showLater(std::exception_ptr error);

    DialogService* dialogs_;
};
