#pragma once

#include "pages/MaintenanceWindow.h"

#include <QList>
#include <QStringList>

class IniFile;

// Keeps the maintenance windows in a section of their own of the settings file, readable and
// editable by hand, numbered as the page options are ("1.name", "1.pages", "1.start", ...).
// No window: no section.
namespace MaintenanceFile {

constexpr const char* Section = "maintenance";

// The windows the section holds; a window that is wrong is left out, and problems gets its
// number and field ("window 2: at: ...").
QList<MaintenanceWindow> load(const IniFile& ini, QStringList& problems);
void save(IniFile& ini, const QList<MaintenanceWindow>& windows);

} // namespace MaintenanceFile
