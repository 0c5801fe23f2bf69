#pragma once

#include <QStringList>

class IniFile;
class PageRecords;

// Keeps the pages' options in a section of their own of the settings file, readable and
// editable by hand. Each page with options has its keys numbered by its place in the list
// ("3.address", "3.must contain", ...); the address ties them to their page, so a hand-edited
// list that moved the page keeps them. A page without options has no keys, and passwords are
// never written.
namespace PageOptionsFile {

constexpr const char* Section = "page options";

// Gives the listed pages their options. Returns what could not be taken, one line a value.
QStringList load(const IniFile& ini, PageRecords& pages);
void save(IniFile& ini, const PageRecords& pages);

} // namespace PageOptionsFile
