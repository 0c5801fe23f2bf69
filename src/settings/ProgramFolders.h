#pragma once

#include <QString>
#include <QStringList>

// Where the program finds what ships with it. A build folder or an unpacked copy keeps
// everything beside the executable; an installed copy keeps its run-time libraries and its
// shared files in the folders the install puts them in, found relative to the executable so
// that any install prefix works.
namespace ProgramFolders {

// The folder holding the run-time library name (as QLibrary names it, without ".so"): beside the
// program, else the installed library folder; the program's folder when neither holds it.
QString libraryFolder(const QString& name);

// The helper program (the monitor without a window) beside the program, under the first of its
// names found there; empty when none is.
QString helperProgram(const QStringList& names);

// Where files shipped with the program (the default sounds) are looked for, in turn.
QStringList dataFolders();

// The program runs from an install: its shared files lie where an install puts them.
bool installed();

} // namespace ProgramFolders
