#pragma once

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
    QString error; // where ("line 4", "page 2") and what is wrong; empty when the file is right
};

// The page list as a file of its own, to keep beside other configuration or to hand to another
// monitor: JSON, {"pages":[{"address":"...","ticked":true,"options":{...}}]}, or plain text with
// one address a line, where blank lines and lines starting with "#" are passed by.
namespace PageListFile {

// Logins keep their user name, never their password; options at their defaults are left out.
QByteArray json(const PageRecords& pages);
// JSON when the first character that is not blank is "{", plain text otherwise. A file with
// anything wrong in it gives no pages at all, so that nothing is taken from it half.
PageListParse parse(const QByteArray& bytes);

} // namespace PageListFile
