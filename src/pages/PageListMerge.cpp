#include "pages/PageListMerge.h"

#include "net/AddressLogin.h"
#include "pages/PageRecords.h"

namespace {

int listedAt(const PageRecords& pages, const QString& address) {
    const QString bare = splitLogin(address).address;
    for (int page = 0; page < pages.pageCount(); ++page)
        if (splitLogin(pages.url(page)).address.compare(bare, Qt::CaseInsensitive) == 0)
            return page;
    return -1;
}

} // namespace

PageListMerge mergePageList(PageRecords& pages, const QList<PageListEntry>& entries, bool replace) {
    PageListMerge merge;
    QList<int> positions;
    for (const PageListEntry& entry : entries) {
        int page = listedAt(pages, entry.address);
        if (page < 0) {
            page = pages.addPage(entry.address, false, false, false);
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
