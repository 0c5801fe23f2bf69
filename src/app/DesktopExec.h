#pragma once

#include <QStringList>

// The Exec line of a desktop entry: every argument quoted, so folders with blanks, quotes or
// dollar signs reach the program as they are, and "%" doubled, which would otherwise be a field
// code. The result is already escaped as a desktop entry value.
namespace DesktopExec {

QString line(const QStringList& arguments);

} // namespace DesktopExec
