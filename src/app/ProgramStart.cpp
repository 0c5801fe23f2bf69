#include "app/ProgramStart.h"

#include "app/TFormMainWindow.h"
#include "app/WindowTray.h"
#include "service/CommandLine.h"
#include "service/MonitorControl.h"
#include "service/SingleInstance.h"

void showAtStart(QWidget& window, bool minimized) {
    if (minimized)
        window.showMinimized();
    else
        window.show();
}

void connectSecondStarts(SingleInstance& instance, TFormMainWindow& window) {
    MonitorControl::answerOn(instance, window.monitor);
    QObject::connect(&instance, &SingleInstance::commandLineReceived, &window,
                     [&window](const QStringList& arguments) {
                         if (!CommandLine(arguments).minimized())
                             window.tray().RevealWindow();
                     });
}
