#include "check/RedirectTarget.h"

#include <QRegularExpression>
#include <QUrl>

namespace RedirectTarget {

std::optional<QString> fromHeader(const QString& header, const QString& redirectedURL) {
    // The field must start a line, so "X-Location:" or a value mentioning it does not count.
    static const QRegularExpression field(QStringLiteral("(?:^|\\n)location:[ \\t]*([^\\r\\n]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = field.match(header);
    if (!match.hasMatch())
        return std::nullopt;
    const QString target = match.captured(1).trimmed();
    if (target.isEmpty())
        return std::nullopt;
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(target).hasMatch())
        return target;
    return QUrl(redirectedURL).resolved(QUrl(target)).toString();
}

} // namespace RedirectTarget
