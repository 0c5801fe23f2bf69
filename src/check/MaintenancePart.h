#pragma once

#include "pages/MaintenanceWindow.h"
#include "settings/SettingsStore.h"

#include <QList>

class ActivityLog;

// The maintenance windows as a part of the settings file; a window that cannot be taken is logged.
SettingsStore::Part maintenancePart(QList<MaintenanceWindow>& windows, ActivityLog& log);
