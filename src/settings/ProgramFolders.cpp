#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ProgramFolders {

namespace {

QString besideProgram(const char* relativeFolder) {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                           QLatin1String(relativeFolder));
}

} // namespace

QString libraryFolder(const QString& name) {
    const QString program = QCoreApplication::applicationDirPath();
    const QString installed = besideProgram(KORVANE_LIBRARY_FROM_PROGRAM);
    for (const QString& folder : {program, installed}) {
        if (QFileInfo::exists(folder + QLatin1Char('/') + name + QStringLiteral(".so")))
            return folder;
    }
    return program;
}

QString helperProgram(const QStringList& names) {
    for (const QString& name : names) {
        const QFileInfo program(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
        if (program.isFile() && program.isExecutable())
            return program.filePath();
    }
    return {};
}

QStringList dataFolders() {
    return {QCoreApplication::applicationDirPath(), besideProgram(KORVANE_DATA_FROM_PROGRAM)};
}

bool installed() {
    return QFileInfo(besideProgram(KORVANE_DATA_FROM_PROGRAM)).isDir();
}

} // namespace ProgramFolders
