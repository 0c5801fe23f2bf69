#pragma once

#include "pages/MaintenanceWindow.h"
#include "pages/PageOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class PageRecords;

// One page as a page list file names it.
struct PageListEntry {
    QString address;                    // as the list keeps it; a password typed into it is still there
    std::optional<bool> ticked;         // not given: a new page is ticked, a listed one keeps its tick
    std::optional<PageOptions> options; // not given (a plain list): a listed page keeps its options
    bool operator==(const PageListEntry&) const = default;
};

// What a page list file holds, or why it cannot be taken.
struct PageListParse {
    QList<PageListEntry> pages;
    // Where ("line 4", "page 2", "window 1") and what is wrong; empty when the file is right.
    QString error;
    // The maintenance windows; not given (a file without the key): the monitor's stay as they are.
    std::optional<QList<MaintenanceWindow>> maintenance;
};

// The page list as a file of its own, to keep beside other configuration or to hand to another
// monitor: JSON, {"pages":[{"address":"...","ticked":true,"options":{...}}],"maintenance":[...]},
// or plain text with one address a line, where blank lines and lines starting with "#" are passed
// by.
namespace PageListFile {

// Logins keep their user name, never their password; options at their defaults are left out, and
// so is the maintenance key when there is no window.
QByteArray json(const PageRecords& pages, const QList<MaintenanceWindow>& maintenance = {});
// JSON when the first character that is not blank is "{", plain text otherwise. A file with
// anything wrong in it gives no pages at all, so that nothing is taken from it half.
PageListParse parse(const QByteArray& bytes);

} // namespace PageListFile
