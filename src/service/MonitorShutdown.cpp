#include "service/MonitorShutdown.h"

#include "check/Monitor.h"
#include "service/MonitorSecrets.h"

#include <QDeadlineTimer>
#include <exception>

namespace MonitorShutdown {

namespace {
// Left for the process itself to go once everything is saved.
constexpr int ExitMs = 100;
} // namespace

void run(Monitor& monitor, MonitorSecrets& secrets, const std::function<void(const QString&)>& saveFailed) {
    const QDeadlineTimer end(EndMs - ExitMs);
    monitor.stop(QDeadlineTimer(Monitor::MessagesWaitMs));
    monitor.end();
    try {
        monitor.store.SaveSettings();
    } catch (const std::exception& error) {
        saveFailed(QString::fromUtf8(error.what()));
    }
    secrets.save();
    secrets.finishSaving(end);
}

} // namespace MonitorShutdown
