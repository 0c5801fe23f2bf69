#include "check/PageOptionsPart.h"

#include "notify/ActivityLog.h"
#include "pages/PageOptionsFile.h"

SettingsStore::Part pageOptionsPart(PageRecords& pages, ActivityLog& log) {
    return {[&pages, &log](const IniFile& ini) {
                for (const QString& problem : PageOptionsFile::load(ini, pages))
                    log.AddLogLine(problem);
            },
            [&pages](IniFile& ini) { PageOptionsFile::save(ini, pages); }};
}
