#pragma once

#include "service/ExceptionGuard.h"

#include <QCoreApplication>

struct ServiceOptions;

// Checks the ticked pages once, side by side as a cycle does, and reports in the form of a
// monitoring plugin: a status line, then a line a page. Changes no file, sends no alarm.
// Exit code: 0 all well, 1 a page yellow and none red, 2 a page red, 3 the settings cannot be read
// or no page is ticked, or the network was down, or the check itself failed.
// Runs under the QCoreApplication made by the caller.
int runCheckOnce(ExceptionGuard<QCoreApplication>& app, const ServiceOptions& options);
