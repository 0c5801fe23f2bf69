#include "check/HeaderFields.h"

namespace HeaderFields {

namespace {

enum class Cut { AtSpace, KeepSpaces };

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The text after the colon that follows the field's name and after the blanks behind it, up to
// the end of its line. The first occurrence of the name anywhere in the header counts; a name
// without a colon after it on its line has no value.
QString fieldValue(const QString& header, QLatin1String name, Cut cut) {
    const qsizetype at = header.indexOf(name, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    qsizetype end = at + name.size();
    while (end < header.size() && header[end] != QLatin1Char('\r') && header[end] != QLatin1Char('\n'))
        ++end;
    qsizetype start = at + name.size();
    if (!name.endsWith(QLatin1Char(':'))) {
        const qsizetype colon = header.indexOf(QLatin1Char(':'), start);
        if (colon < 0 || colon >= end)
            return {};
        start = colon + 1;
    }
    while (start < end && isBlank(header[start]))
        ++start;
    QString value = header.mid(start, end - start);
    if (cut == Cut::AtSpace) {
        const qsizetype space = value.indexOf(QLatin1Char(' '));
        if (space >= 0)
            value.truncate(space);
    }
    return value;
}

} // namespace

int HeaderContentLength(const QString& header) {
    bool ok = false;
    const int length = fieldValue(header, QLatin1String("content-length:"), Cut::AtSpace).toInt(&ok);
    return ok ? length : -1;
}

QString HeaderETag(const QString& header) {
    return fieldValue(header, QLatin1String("etag:"), Cut::AtSpace);
}

QString HeaderLastModified(const QString& header) {
    return fieldValue(header, QLatin1String("last-modified"), Cut::KeepSpaces).remove(QLatin1Char(','));
}

} // namespace HeaderFields
