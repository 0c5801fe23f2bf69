#include "check/RedirectTarget.h"

#include "net/WireAddress.h"

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
    // The header holds the server's bytes one to a character. Bytes outside ASCII (a server that
    // writes UTF-8 there) go on percent-encoded, as they came, never taken for characters.
    const QString target =
        QString::fromLatin1(WireAddress::percentEncoded(match.captured(1).trimmed().toLatin1()));
    if (target.isEmpty())
        return std::nullopt;
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(target).hasMatch())
        return target;
    return QUrl(redirectedURL).resolved(QUrl(target)).toString();
}

} // namespace RedirectTarget
