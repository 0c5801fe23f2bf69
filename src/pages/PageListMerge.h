#pragma once

#include "pages/PageListFile.h"

// How taking a page list file changed the list.
struct PageListMerge {
    int updated = 0;
    int added = 0;
};

// Takes the pages of a page list file into the list. A listed page (the same address, letter
// case and password aside) takes the file's tick and options where the file gives them; any
// other is appended, ticked unless the file says otherwise, with no change checks. With replace,
// the list becomes the file's pages in the file's order; a page that stays keeps what the
// monitor knows of it.
PageListMerge mergePageList(PageRecords& pages, const QList<PageListEntry>& entries, bool replace);

// Takes a page list file's maintenance windows as the pages: a window of the same name becomes
// the file's, any other is appended; with replace, the windows become the file's.
PageListMerge mergeMaintenance(QList<MaintenanceWindow>& windows, const QList<MaintenanceWindow>& entries,
                               bool replace);

// What makes two addresses one page: letter case and a password in the address make no other.
QString pageIdentity(const QString& address);
// Whether two addresses are one page by that rule. Asked for every page a cycle checks, so it
// makes no copy of either where neither holds a login.
bool samePage(const QString& one, const QString& other);
