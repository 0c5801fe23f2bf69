#include "check/HeaderFields.h"

namespace HeaderFields {

namespace {

enum class Cut { AtSpace, KeepSpaces };

// The text after the field's name and the blank that follows it, up to the end of its line.
// The first occurrence of the name anywhere in the header counts.
QString fieldValue(const QString& header, QLatin1String name, Cut cut, bool& found) {
    const qsizetype at = header.indexOf(name, 0, Qt::CaseInsensitive);
    found = at >= 0;
    if (!found)
        return {};
    QString value = header.mid(at + 1);
    value.remove(0, value.indexOf(QLatin1Char(' ')) + 1);
    for (QChar end : {QChar(QLatin1Char(' ')), QChar(QLatin1Char('\r')), QChar(QLatin1Char('\n'))}) {
        if (end == QLatin1Char(' ') && cut == Cut::KeepSpaces)
            continue;
        const qsizetype stop = value.indexOf(end);
        if (stop >= 0)
            value.truncate(stop);
    }
    return value;
}

} // namespace

int HeaderContentLength(const QString& header) {
    bool found = false;
    const QString value = fieldValue(header, QLatin1String("content-length:"), Cut::AtSpace, found);
    bool ok = false;
    const int length = value.toInt(&ok);
    return found && ok ? length : -1;
}

QString HeaderETag(const QString& header) {
    bool found = false;
    return fieldValue(header, QLatin1String("etag:"), Cut::AtSpace, found);
}

QString HeaderLastModified(const QString& header) {
    bool found = false;
    return fieldValue(header, QLatin1String("last-modified"), Cut::KeepSpaces, found)
        .remove(QLatin1Char(','));
}

} // namespace HeaderFields
