#pragma once

#include "history/CheckRecord.h"

#include <QHash>
#include <QString>

class PageRecords;

// Puts each listed page back where its last check left it (its status, its failed checks and
// whether they raised its alarms), so a restart neither forgets an outage nor counts it anew.
// marks are by address without a password, as the history keeps them.
void restorePageMarks(PageRecords& pages, const QHash<QString, PageMark>& marks);
