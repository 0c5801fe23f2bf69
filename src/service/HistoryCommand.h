#pragma once

class CommandLine;
class QString;

// korvane --export-history FILE [--since DAYS]: the kept checks as CSV, without a window and
// without disturbing a monitor that runs on the same settings. Returns the exit code: 0, or 1
// with the reason on standard error when the history cannot be read or the file not written.
// Runs under the QCoreApplication made by the caller.
int exportHistoryCommand(const CommandLine& commandLine, const QString& settingsFile);
