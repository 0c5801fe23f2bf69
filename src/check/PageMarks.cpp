#include "check/PageMarks.h"

#include "history/HistoryFile.h"
#include "pages/PageAddress.h"
#include "pages/PageRecords.h"

#include <algorithm>

void restorePageMarks(PageRecords& pages, const QHash<QString, PageMark>& marks) {
    for (int page = 0; page < pages.pageCount(); ++page) {
        const QString address = withoutPassword(pages.url(page));
        auto mark = marks.constFind(address);
        // An older version kept an address typed percent-encoded under that form.
        if (mark == marks.cend())
            mark = marks.constFind(storedPageAddress(address));
        if (mark == marks.cend())
            continue;
        pages.writeStatus(
            page, PageStatus(std::clamp(mark->status, int(PageStatus::Failed), int(PageStatus::RedAlarm))));
        pages.streak(page) = {mark->failedChecks, mark->alarmed};
    }
}
