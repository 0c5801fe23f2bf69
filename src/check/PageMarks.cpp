#include "check/PageMarks.h"

#include "history/HistoryFile.h"
#include "pages/PageRecords.h"

#include <algorithm>

void restorePageMarks(PageRecords& pages, const QHash<QString, PageMark>& marks) {
    for (int page = 0; page < pages.pageCount(); ++page) {
        const auto mark = marks.constFind(withoutPassword(pages.url(page)));
        if (mark == marks.cend())
            continue;
        pages.writeStatus(
            page, PageStatus(std::clamp(mark->status, int(PageStatus::Failed), int(PageStatus::RedAlarm))));
        pages.streak(page) = {mark->failedChecks, mark->alarmed};
    }
}
