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

private:
    DialogService* dialogs_;
};
