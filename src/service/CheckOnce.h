#pragma once

#include "service/ExceptionGuard.h"

#include <QCoreApplication>

struct CheckRecord;
struct ServiceOptions;

// Checks the ticked pages once, side by side as a cycle does, and reports in the form of a
// monitoring plugin: a status line, then a line a page. Changes no file, sends no alarm.
// Exit code: 0 all well, 1 a page yellow and none red, 2 a page red, 3 the settings cannot be read
// or no page is ticked, or the network was down, or the check itself failed.
// Runs under the QCoreApplication made by the caller.
int runCheckOnce(ExceptionGuard<QCoreApplication>& app, const ServiceOptions& options);

// A page's line of the report: "Page Not Found, 12 ms, ADDRESS", its outcome followed by
// " (held: REASON)" when its alarms were held. A "|" is written as "%7C": what follows one would
// be read as figures.
QString checkOnceLine(const CheckRecord& check);
// What a page adds to the exit code: 0, 1 when yellow, 2 when red. A held page adds nothing,
// whatever its colour: whoever holds it expects it down, and a scheduler would wake them anyway.
int checkOnceSeverity(const CheckRecord& check);
