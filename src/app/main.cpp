#include "app/QtDialogService.h"
#include "app/QuitSignalWatcher.h"
#include "app/SettingsLocation.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"

#include <QSessionManager>

int main(int argc, char** argv) {
    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    QuitSignalWatcher quitSignals;

    TFormMainWindow window(SettingsLocation::settingsFilePath(), dialogs);
    // The settings must survive every way the program can end, not only a close by hand.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.saveSettingsReporting(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.shutDown(); });

    window.show();
    return app.exec();
}
