#pragma once

#include <QString>

// korvane --export-pages and --import-pages: the page list of a settings file as a file of its
// own, without a window. Each returns the program's exit code: 0, or 1 with the reason on
// standard error.
namespace PagesCommand {

// Writes the pages as JSON to target ("-": standard output).
int exportPages(const QString& settingsFile, const QString& target);
// Takes the pages of source into the settings file, or with replace makes them its whole page
// list, and says on standard output what changed. Every other setting keeps its line. Refused
// while a monitor runs on the settings file, as it would write its own list over the new one.
int importPages(const QString& settingsFile, const QString& source, bool replace);

} // namespace PagesCommand
