#include "check/MaintenancePart.h"

#include "notify/ActivityLog.h"
#include "pages/MaintenanceFile.h"

SettingsStore::Part maintenancePart(QList<MaintenanceWindow>& windows, ActivityLog& log) {
    return {[&windows, &log](const IniFile& ini) {
                QStringList problems;
                windows = MaintenanceFile::load(ini, problems);
                for (const QString& problem : problems)
                    log.AddLogLine(QStringLiteral("Maintenance window left out, ") + problem);
            },
            [&windows](IniFile& ini) { MaintenanceFile::save(ini, windows); }};
}
