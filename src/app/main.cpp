#include "app/ProgramEnd.h"
#include "app/ProgramStart.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "service/CommandLine.h"
#include "service/MetricsService.h"
#include "service/MonitorSecrets.h"
#include "service/QuitSignalWatcher.h"
#include "service/SettingsLocation.h"
#include "service/SingleInstance.h"
#include "service/WithoutWindow.h"
#include "views/QtDialogService.h"

int main(int argc, char** argv) {
    const CommandLine commandLine(CommandLine::fromArgv(argc, argv));
    if (commandLine.exitCode())
        return commandLine.finish();
    if (commandLine.runsWithoutWindow())
        return handOverWithoutWindow(argc, argv, commandLine);
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
    return quitSignals.requested() ? 0 : app.exec();
}
