#include "app/ProgramEnd.h"
#include "app/QuitSignalWatcher.h"
#include "app/SettingsLocation.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "views/QtDialogService.h"

int main(int argc, char** argv) {
    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    QuitSignalWatcher quitSignals;

    TFormMainWindow window(SettingsLocation::settingsFilePath(), dialogs);
    connectProgramEnd(app, quitSignals, window);

    window.show();
    return quitSignals.requested() ? 0 : app.exec();
}
