#include "app/PageOptionsPart.h"

#include "pages/PageOptionsFile.h"
#include "views/ActivityLog.h"

SettingsStore::Part pageOptionsPart(PageRecords& pages, ActivityLog& log) {
    return {[&pages, &log](const IniFile& ini) {
                for (const QString& problem : PageOptionsFile::load(ini, pages))
                    log.AddLogLine(problem);
            },
            [&pages](IniFile& ini) { PageOptionsFile::save(ini, pages); }};
}
