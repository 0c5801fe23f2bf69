#pragma once

#include <QString>

// An entity tag may hold a comma, which would split its row of the stored signature list and
// shift every row after it. Signatures are therefore stored with "%" and "," percent-encoded;
// the encoding is one-to-one, so comparing stored forms compares the tags themselves.
namespace PageSignature {

QString stored(const QString& etag);
QString shown(const QString& storedText);

} // namespace PageSignature
