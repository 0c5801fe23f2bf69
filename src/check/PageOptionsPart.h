#pragma once

#include "settings/SettingsStore.h"

class ActivityLog;
class PageRecords;

// The pages' options as a part of the settings file; a value that cannot be taken is logged.
SettingsStore::Part pageOptionsPart(PageRecords& pages, ActivityLog& log);
