#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

// The contents of a file that holds secrets, or why it is refused: it cannot be read, or others
// than its owner may read or change it (a secret anyone on the machine can read is no secret).
std::variant<QByteArray, QString> readOwnerOnlyFile(const QString& path);
