#include "app/DesktopExec.h"

namespace DesktopExec {

namespace {

QString quoted(const QString& argument) {
    QString text = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            text += u'\\';
        text += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    return text + u'"';
}

// The value escapes of every desktop entry string, applied over the quoting.
QString escapedValue(const QString& value) {
    QString text;
    for (const QChar c : value) {
        if (c == u'\\')
            text += QStringLiteral("\\\\");
        else if (c == u'\n')
            text += QStringLiteral("\\n");
        else if (c == u'\t')
            text += QStringLiteral("\\t");
        else if (c == u'\r')
            text += QStringLiteral("\\r");
        else
            text += c;
    }
    return text;
}

} // namespace

QString line(const QStringList& arguments) {
    QStringList parts;
    for (const QString& argument : arguments)
        parts.append(quoted(argument));
    return escapedValue(parts.join(u' '));
}

} // namespace DesktopExec
