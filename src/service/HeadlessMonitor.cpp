#include "service/HeadlessMonitor.h"

#include "check/CheckCycle.h"
#include "check/Monitor.h"
#include "notify/SecretStore.h"
#include "service/ConsoleDialogs.h"
#include "service/MonitorControl.h"
#include "service/MonitorSecrets.h"
#include "service/MonitorShutdown.h"
#include "service/QuitSignalWatcher.h"
#include "service/ServiceSetup.h"
#include "service/SingleInstance.h"
#include "settings/ConnectionSettings.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

int refused(const QString& reason) {
    printLine(stderr, QStringLiteral("Korvane: ") + reason);
    return 1;
}

// The monitor's life from its start to its orderly end.
class Headless {
public:
    Headless(const ServiceOptions& options, SecretStore& store, const MetricsService::Overrides& metrics)
        : settingsFile_(options.settingsFile),
          dialogs_([this](const QString& text) { monitor_.log.AddLogLine(text); }),
          monitor_(options.settingsFile, dialogs_, {}, nullptr,
                   MonitorParts{.desktopNotices = false, .history = true}),
          secrets_(&store, monitor_.settings, monitor_.pages, monitor_.statusLine, monitor_.log,
                   options.settingsFile,
                   [this](const QString& name) {
                       monitor_.log.AddLogLine(QStringLiteral("Secret not available, going on without it: ") +
                                               name);
                   }),
          metrics_(monitor_, metrics) {
        QObject::connect(&monitor_.log, &ActivityLog::lineAdded,
                         [](const QString& line) { printLine(stdout, line); });
    }

    void start(const std::function<void(int)>& end) {
        monitor_.start();
        if (monitor_.pages.includedCount() == 0)
            monitor_.log.AddLogLine(
                QStringLiteral("No page is ticked in %1: nothing to check").arg(settingsFile_));
        secrets_.load();
        secrets_.whenLoaded([this, end] {
            if (!metrics_.apply().isEmpty())
                return end(1);
            monitor_.whenHistoryOpen([this] {
                monitor_.Timer1->setInterval(
                    ConnectionSettings::intervalMs(monitor_.settings.text(QStringLiteral("EditInterval"))));
                monitor_.Timer1->start();
                monitor_.checkCycle().startSoon();
            });
        });
    }

    void stop() {
        if (std::exchange(stopped_, true))
            return;
        MonitorShutdown::run(monitor_, secrets_,
                             [this](const QString& error) { monitor_.log.AddLogLine(error); });
    }

    ActivityLog& log() { return monitor_.log; }
    Monitor& monitor() { return monitor_; }

private:
    QString settingsFile_;
    ConsoleDialogs dialogs_;
    Monitor monitor_;
    MonitorSecrets secrets_;
    MetricsService metrics_;
    bool stopped_ = false;
};

} // namespace

int runHeadless(ExceptionGuard<QCoreApplication>& app, const ServiceOptions& options) {
    auto store = serverSecretStore(options);
    if (const QString* reason = std::get_if<QString>(&store))
        return refused(*reason);
    const auto metrics = metricsOverrides(options);
    if (const QString* reason = std::get_if<QString>(&metrics))
        return refused(*reason);
    SingleInstance instance(options.settingsFile);
    if (!instance.claim())
        return refused(QStringLiteral("a Korvane monitor already runs on %1; stop it first, or give this one "
                                      "a settings file of its own with --settings")
                           .arg(options.settingsFile));
    QuitSignalWatcher quitSignals;
    Headless headless(options, *std::get<std::unique_ptr<SecretStore>>(store),
                      std::get<MetricsService::Overrides>(metrics));
    MonitorControl::answerOn(instance, headless.monitor());
    QObject::connect(&instance, &SingleInstance::commandLineReceived, &app, [&headless] {
        headless.log().AddLogLine(
            QStringLiteral("A start on this settings file was turned away: this monitor runs "
                           "without a window"));
    });
    int exitCode = 0;
    const auto end = [&headless, &exitCode](int code) {
        exitCode = code;
        headless.stop();
        QCoreApplication::exit(code);
    };
    // Nobody is there to see an error box: a monitor in an unknown state ends, saying why, and its
    // service manager starts it afresh.
    const auto failed = [&headless, &end](std::exception_ptr error) {
        headless.log().AddLogLine(QStringLiteral("Korvane ends after an error: ") + errorText(error));
        end(1);
    };
    app.setCaught(failed);
    QObject::connect(&quitSignals, &QuitSignalWatcher::quitRequested, &app, [&end] { end(0); });
    try {
        headless.start(end);
    } catch (...) {
        failed(std::current_exception());
    }
    if (!quitSignals.requested() && exitCode == 0)
        app.exec();
    headless.stop();
    app.setCaught({});
    return exitCode;
}
