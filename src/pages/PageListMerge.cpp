#include "pages/PageListMerge.h"

#include "net/AddressLogin.h"
#include "pages/PageRecords.h"

#include <QHash>
#include <algorithm>

QString pageIdentity(const QString& address) {
    return splitLogin(address).address.toLower();
}

PageListMerge mergeMaintenance(QList<MaintenanceWindow>& windows, const QList<MaintenanceWindow>& entries,
                               bool replace) {
    PageListMerge merge;
    if (replace)
        windows.clear();
    for (const MaintenanceWindow& entry : entries) {
        const auto same =
            std::find_if(windows.begin(), windows.end(),
                         [&entry](const MaintenanceWindow& window) { return window.name == entry.name; });
        if (same == windows.end()) {
            windows.append(entry);
            ++merge.added;
        } else {
            *same = entry;
            ++merge.updated;
        }
    }
    return merge;
}

bool samePage(const QString& one, const QString& other) {
    if (one.contains(QLatin1Char('@')) || other.contains(QLatin1Char('@')))
        return pageIdentity(one) == pageIdentity(other);
    // Letter case is folded a character at a time: texts of two lengths are never the same.
    return one.size() == other.size() && one.compare(other, Qt::CaseInsensitive) == 0;
}

PageListMerge mergePageList(PageRecords& pages, const QList<PageListEntry>& entries, bool replace) {
    PageListMerge merge;
    // Looked up by hash, so that a list of thousands merges into one of thousands in a moment.
    QHash<QString, int> listed;
    for (int page = pages.pageCount() - 1; page >= 0; --page)
        listed.insert(pageIdentity(pages.url(page)), page);
    QList<int> positions;
    for (const PageListEntry& entry : entries) {
        int page = listed.value(pageIdentity(entry.address), -1);
        if (page < 0) {
            page = pages.addPage(entry.address, false, false, false);
            listed.insert(pageIdentity(entry.address), page);
            ++merge.added;
        } else {
            ++merge.updated;
            // A password stays in the address until a monitor starts on the file and hands it
            // to the secret store, as it does with one an older version kept there.
            if (!splitLogin(entry.address).password.isEmpty())
                pages.setAddress(page, entry.address);
        }
        if (entry.ticked)
            pages.setIncluded(page, *entry.ticked);
        if (entry.options)
            pages.setOptions(page, *entry.options);
        positions.append(page);
    }
    if (replace)
        pages.arrange(positions);
    return merge;
}
