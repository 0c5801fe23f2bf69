#include "app/ProgramEnd.h"

#include "service/QuitSignalWatcher.h"
#include "app/TFormMainWindow.h"

#include <QGuiApplication>
#include <QSessionManager>

void connectProgramEnd(QGuiApplication& app, QuitSignalWatcher& quitSignals, TFormMainWindow& window) {
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.saveSettingsReporting(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.shutDown(); });
    // The signal may arrive while a check waits on the network, inside that wait: closing first
    // aborts the request, so the wait unwinds at once instead of at the time-out.
    QObject::connect(&quitSignals, &QuitSignalWatcher::quitRequested, &window, [&window] {
        window.shutDown();
        QCoreApplication::quit();
    });
}
