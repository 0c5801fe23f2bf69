#pragma once

#include <QFile>
#include <stdexcept>

// The errors of a file that cannot be opened or created, in the words the user sees for them
// wherever a file is read or written.
namespace FileError {

inline std::runtime_error cannotOpen(const QFile& file) {
    return std::runtime_error(
        QStringLiteral("Cannot open file \"%1\". %2").arg(file.fileName(), file.errorString()).toStdString());
}

inline std::runtime_error cannotCreate(const QFile& file) {
    return std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                  .arg(file.fileName(), file.errorString())
                                  .toStdString());
}

} // namespace FileError
