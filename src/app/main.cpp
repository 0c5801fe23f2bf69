#include "app/CommandLine.h"
#include "app/HistoryCommand.h"
#include "app/ProgramEnd.h"
#include "app/ProgramStart.h"
#include "service/QuitSignalWatcher.h"
#include "app/SettingsLocation.h"
#include "service/SingleInstance.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "views/QtDialogService.h"

int main(int argc, char** argv) {
    const CommandLine commandLine(CommandLine::fromArgv(argc, argv),
                                  QString::fromLatin1(TFormMainWindow::VersionTag));
    if (commandLine.exitCode())
        return commandLine.finish();
    if (!commandLine.exportFile().isEmpty())
        return exportHistoryCommand(argc, argv, commandLine);

    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    const QString settingsFile = commandLine.settingsFile().isEmpty() ? SettingsLocation::settingsFilePath()
                                                                      : commandLine.settingsFile();
    SingleInstance instance(settingsFile);
    if (instance.handedOver(commandLine.arguments()))
        return 0;
    QuitSignalWatcher quitSignals;

    TFormMainWindow window(settingsFile, dialogs);
    connectProgramEnd(app, quitSignals, window);
    connectSecondStarts(instance, window);

    showAtStart(window, commandLine.minimized());
    const int exitCode = quitSignals.requested() ? 0 : app.exec();
    window.finishSaving();
    return exitCode;
}
