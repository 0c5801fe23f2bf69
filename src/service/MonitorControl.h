#pragma once

#include <QString>
#include <QStringList>

class Monitor;
class SingleInstance;

// What a start with --pause, --resume or --check-now asks of the monitor running on its settings
// file, and how that monitor answers, the same with a window or without one.
namespace MonitorControl {

// Hands the command line to the monitor running on settingsFile and prints its answer. Exit code
// 0, or 1 when no monitor runs there (or none answers). Never starts a monitor.
int ask(const QString& settingsFile, const QStringList& arguments);

// From now on the monitor answers what a later start asks of it; a start that asks nothing is
// received as a second start, as before.
void answerOn(SingleInstance& instance, Monitor& monitor);

} // namespace MonitorControl
