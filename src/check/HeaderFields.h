#pragma once

#include <QString>

// The three response header fields that change detection compares. Names are found without
// regard to letter case, values keep their own. A value starts after the colon that follows
// its name, with or without blanks after the colon.
namespace HeaderFields {

// The Content-Length value; -1 when the field is missing or its value is not a 32-bit number.
int HeaderContentLength(const QString& header);
// The ETag value with its quotes; empty when missing.
QString HeaderETag(const QString& header);
// The Last-Modified value without any comma (the stored lists end entries with commas);
// empty when missing.
QString HeaderLastModified(const QString& header);

} // namespace HeaderFields
