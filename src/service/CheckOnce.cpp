#include "service/CheckOnce.h"

#include "check/CheckCycle.h"
#include "check/Monitor.h"
#include "check/NetworkCheck.h"
#include "history/CheckRecord.h"
#include "notify/SecretStore.h"
#include "pages/PageStatus.h"
#include "service/ConsoleDialogs.h"
#include "service/MonitorSecrets.h"
#include "service/ServiceSetup.h"
#include "settings/AlarmBoxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

constexpr int Ok = 0;
constexpr int Warning = 1;
constexpr int Critical = 2;
constexpr int Unknown = 3;

// A scheduler reads the plugin's output line by line and takes what follows a "|" as figures.
QString plainLine(QString text) {
    return text.replace(QLatin1Char('|'), QLatin1String("%7C"));
}

int unknown(const QString& reason) {
    printLine(stdout, QStringLiteral("KORVANE UNKNOWN - ") + plainLine(reason));
    return Unknown;
}

// The scheduler that runs this check raises the alarms and counts the attempts: none of the
// monitor's own messages go out, and a failure is not held back for a second check that never
// comes.
void leaveAlarmsToScheduler(Settings& settings) {
    for (const auto* group : {&AlarmBoxes::first(), &AlarmBoxes::playWav(), &AlarmBoxes::changes(),
                              &AlarmBoxes::later(), &AlarmBoxes::chat()})
        for (const AlarmBox& box : *group)
            if (box.reaction != AlarmReaction::Yellow && box.reaction != AlarmReaction::Red &&
                box.reaction != AlarmReaction::Log)
                settings.setTick(QString::fromLatin1(box.name), false);
    settings.setText(QStringLiteral("EditFailCount"), QStringLiteral("1"));
}

// A run keeps nothing for the next one, so a size, date or signature that differs from what the
// settings last kept is no news of this run: it would be reported on every run after one change.
void forgetChanges(PageRecords& pages) {
    for (int page = 0; page < pages.pageCount(); ++page)
        for (PageRecords::Column column : {PageRecords::Size, PageRecords::Date, PageRecords::Signature})
            pages.setChecked(column, page, false);
}

} // namespace

QString checkOnceLine(const CheckRecord& check) {
    const QString held = check.held.isEmpty() ? QString() : QStringLiteral(" (held: %1)").arg(check.held);
    return plainLine(check.outcome + held + QStringLiteral(", %1 ms, ").arg(check.ms) + check.address);
}

int checkOnceSeverity(const CheckRecord& check) {
    if (!check.held.isEmpty())
        return Ok;
    return check.mark.status == int(PageStatus::RedAlarm)      ? Critical
           : check.mark.status == int(PageStatus::YellowAlarm) ? Warning
                                                               : Ok;
}

int runCheckOnce(ExceptionGuard<QCoreApplication>& app, const ServiceOptions& options) {
    if (!QFileInfo(options.settingsFile).isFile() || !QFileInfo(options.settingsFile).isReadable())
        return unknown(QStringLiteral("cannot read the settings file ") + options.settingsFile);
    auto store = serverSecretStore(options);
    if (const QString* reason = std::get_if<QString>(&store))
        return unknown(*reason);
    ConsoleDialogs dialogs([](const QString& text) { printLine(stderr, text); });
    Monitor monitor(options.settingsFile, dialogs, {}, nullptr,
                    MonitorParts{.desktopNotices = false, .history = false});
    try {
        monitor.store.LoadSettings();
    } catch (const std::exception& error) {
        return unknown(QString::fromUtf8(error.what()));
    }
    monitor.pages.resetHistories();
    const int pages = monitor.pages.includedCount();
    if (pages == 0)
        return unknown(QStringLiteral("no page is ticked in ") + options.settingsFile);
    leaveAlarmsToScheduler(monitor.settings);
    forgetChanges(monitor.pages);

    QStringList lines;
    int red = 0;
    int yellow = 0;
    QObject::connect(&monitor.checkCycle(), &CheckCycle::pageChecked, &app, [&](const CheckRecord& check) {
        lines.append(checkOnceLine(check));
        const int severity = checkOnceSeverity(check);
        red += severity == Critical ? 1 : 0;
        yellow += severity == Warning ? 1 : 0;
    });
    QObject::connect(&monitor.checkCycle(), &CheckCycle::cycleFinished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    MonitorSecrets secrets(std::get<std::unique_ptr<SecretStore>>(store).get(), monitor.settings,
                           monitor.pages, monitor.statusLine, monitor.log, options.settingsFile);
    QElapsedTimer clock;
    secrets.load();
    secrets.whenLoaded([&] {
        clock.start();
        monitor.checkCycle().CheckWebPagesExecute();
    });
    // A check that went wrong inside says so, as a plugin does: it could not look.
    QString failure;
    app.setCaught([&failure](std::exception_ptr error) {
        if (failure.isEmpty())
            failure = errorText(error);
        QCoreApplication::quit();
    });
    app.exec();
    app.setCaught({});
    if (!failure.isEmpty()) {
        monitor.checkCycle().terminate();
        return unknown(QStringLiteral("the check failed: ") + failure);
    }

    // Failures seen while the network itself was down say nothing about the pages: neither OK nor
    // an alarm, but that nobody could look.
    const NetworkCheck& network = monitor.checkCycle().network();
    const int code = network.down() ? Unknown : red > 0 ? Critical : yellow > 0 ? Warning : Ok;
    const QString summary =
        network.down() ? QStringLiteral("network unavailable: ") + network.downBecause()
                       : QStringLiteral("%1 pages, %2 red, %3 yellow").arg(pages).arg(red).arg(yellow);
    const char* const words[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};
    const QString seconds = QString::number(double(clock.elapsed()) / 1000.0, 'f', 2);
    printLine(stdout, QStringLiteral("KORVANE %1 - %2 | pages=%3 red=%4 yellow=%5 time=%6s")
                          .arg(QString::fromLatin1(words[code]), plainLine(summary))
                          .arg(pages)
                          .arg(red)
                          .arg(yellow)
                          .arg(seconds));
    for (const QString& line : std::as_const(lines))
        printLine(stdout, line);
    return code;
}
