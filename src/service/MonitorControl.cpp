#include "service/MonitorControl.h"

#include "check/AlarmPause.h"
#include "check/CheckCycle.h"
#include "check/Monitor.h"
#include "history/HistoryStore.h"
#include "service/CommandLine.h"
#include "service/ServiceSetup.h"
#include "service/SingleInstance.h"

#include <optional>

namespace MonitorControl {

namespace {

std::optional<QString> answer(Monitor& monitor, const QStringList& arguments) {
    const CommandLine asked(arguments);
    AlarmPause& pause = monitor.alarmPause();
    if (const std::optional<qint64> seconds = asked.pauseSeconds()) {
        pause.pauseFor(*seconds);
        return pause.text();
    }
    if (asked.resumeAlarms()) {
        pause.resume();
        return QStringLiteral("Alarms resumed");
    }
    if (asked.checkNow()) {
        // A check made before the history is open would count from nothing: it starts once it is.
        if (monitor.history().opening()) {
            monitor.whenHistoryOpen([&monitor] { monitor.checkCycle().checkNow(); });
            return QStringLiteral("Check started");
        }
        return monitor.checkCycle().checkNow() ? QStringLiteral("Check started")
                                               : QStringLiteral("A check is already running");
    }
    return std::nullopt;
}

} // namespace

int ask(const QString& settingsFile, const QStringList& arguments) {
    const std::optional<QString> answered = SingleInstance::ask(settingsFile, arguments);
    if (!answered) {
        printLine(stderr, QStringLiteral("no Korvane monitor runs on ") + settingsFile);
        return 1;
    }
    printLine(stdout, *answered);
    return 0;
}

void answerOn(SingleInstance& instance, Monitor& monitor) {
    instance.answerWith([&monitor](const QStringList& arguments) { return answer(monitor, arguments); });
}

} // namespace MonitorControl
