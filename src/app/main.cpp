#include "app/CommandLine.h"
#include "app/HistoryCommand.h"
#include "app/ProgramEnd.h"
#include "app/ProgramStart.h"
#include "app/SettingsLocation.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "service/PagesCommand.h"
#include "service/QuitSignalWatcher.h"
#include "service/SingleInstance.h"
#include "views/QtDialogService.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    const CommandLine commandLine(CommandLine::fromArgv(argc, argv),
                                  QString::fromLatin1(TFormMainWindow::VersionTag));
    if (commandLine.exitCode())
        return commandLine.finish();
    if (!commandLine.exportFile().isEmpty())
        return exportHistoryCommand(argc, argv, commandLine);
    if (!commandLine.exportPagesFile().isEmpty() || !commandLine.importPagesFile().isEmpty()) {
        const QCoreApplication app(argc, argv);
        const QString settingsFile = SettingsLocation::chosen(commandLine.settingsFile());
        return commandLine.importPagesFile().isEmpty()
                   ? PagesCommand::exportPages(settingsFile, commandLine.exportPagesFile())
                   : PagesCommand::importPages(settingsFile, commandLine.importPagesFile(),
                                               commandLine.replacePages());
    }

    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    const QString settingsFile = SettingsLocation::chosen(commandLine.settingsFile());
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
