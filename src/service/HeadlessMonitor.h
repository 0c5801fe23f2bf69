#pragma once

#include "service/ExceptionGuard.h"

#include <QCoreApplication>

struct ServiceOptions;

// The monitor on a server: no display, window system or session bus. It checks at start and then
// on the interval, keeps the history, sends the mail and chat alarms, serves the metrics if asked,
// and writes each log line to standard output. SIGTERM or SIGINT ends it in order with exit code
// 0; a monitor already running on the settings file, or a refused secrets or metrics setting,
// ends it at start with 1, and so does an error that escapes its work, after a log line.
int runHeadless(ExceptionGuard<QCoreApplication>& app, const ServiceOptions& options);
