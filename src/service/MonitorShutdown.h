#pragma once

#include <QString>
#include <functional>

class Monitor;
class MonitorSecrets;

// The one way a monitor ends, with a window or without one: the cycle and the alarm messages under
// way, then the history, the settings and the secrets, all within EndMs.
namespace MonitorShutdown {

// What a user is promised: a monitor asked to end has ended within two seconds.
constexpr int EndMs = 2000;

// saveFailed hears why the settings could not be saved; the end goes on all the same.
void run(Monitor& monitor, MonitorSecrets& secrets, const std::function<void(const QString&)>& saveFailed);

} // namespace MonitorShutdown
