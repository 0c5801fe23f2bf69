#include "app/CommandLine.h"
#include "app/HistoryCommand.h"
#include "app/ProgramEnd.h"
#include "app/ProgramStart.h"
#include "app/SettingsLocation.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "service/CheckOnce.h"
#include "service/HeadlessMonitor.h"
#include "service/MetricsService.h"
#include "service/MonitorSecrets.h"
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
    if (commandLine.runsWithoutWindow()) {
        // The settings' usual place depends on where the program is, which the application knows.
        const QCoreApplication app(argc, argv);
        const QString settingsFile = SettingsLocation::chosen(commandLine.settingsFile());
        const ServiceOptions service = commandLine.serviceOptions(settingsFile);
        if (commandLine.headless())
            return runHeadless(service);
        if (commandLine.checkOnce())
            return runCheckOnce(service);
        return commandLine.importPagesFile().isEmpty()
                   ? PagesCommand::exportPages(settingsFile, commandLine.exportPagesFile())
                   : PagesCommand::importPages(settingsFile, commandLine.importPagesFile(),
                                               commandLine.replacePages());
    }
    const auto metrics = metricsOverrides(commandLine.serviceOptions({}));
    if (const QString* refused = std::get_if<QString>(&metrics)) {
        printLine(stderr, QStringLiteral("Korvane: ") + *refused);
        return 1;
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
    // Served once the token, if any, is out of the secret store.
    MetricsService metricsService(window.monitor, std::get<MetricsService::Overrides>(metrics));
    window.secrets().whenLoaded([&metricsService] { metricsService.apply(); });
    metricsService.followSettings();
    const int exitCode = quitSignals.requested() ? 0 : app.exec();
    window.finishSaving();
    return exitCode;
}
