#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

// The most a file of secrets may hold: far more than any list of passwords, far less than a
// mistaken path to a log or an image.
constexpr qint64 OwnerOnlyFileMaxBytes = 64 * 1024;

// The contents of a file that holds secrets, or why it is refused: it cannot be read, it is no
// regular file (a named pipe would hold the start until someone wrote to it), it is larger than
// OwnerOnlyFileMaxBytes, or it is not its user's alone (a secret anyone on the machine can read
// or replace is no secret). A file among the credentials systemd hands the service
// ($CREDENTIALS_DIRECTORY) is its user's alone however its owner and mode are set: systemd lets
// none but the service's user into that folder.
std::variant<QByteArray, QString> readOwnerOnlyFile(const QString& path);

// Why a file or folder with this owner and mode is not the running user's alone, or an empty text
// when it is.
QString notOwnerOnly(const QString& path, uint owner, uint mode, bool folder);
