#include "check/ContentCheck.h"

#include "pages/PageOptions.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {

constexpr qsizetype QuotedLength = 60;

// The charset parameter of the header's Content-Type field; empty when there is none.
QByteArray charsetOf(const QString& header) {
    static const QRegularExpression contentType(QStringLiteral(R"(^content-type:([^\r\n]*))"),
                                                QRegularExpression::CaseInsensitiveOption |
                                                    QRegularExpression::MultilineOption);
    static const QRegularExpression charset(QStringLiteral(R"(;\s*charset\s*=\s*"?([^";\s]+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch field = contentType.match(header);
    if (!field.hasMatch())
        return {};
    return charset.match(field.captured(1)).captured(1).toLatin1();
}

bool found(const QString& text, const QString& wanted, const PageOptions& options) {
    if (!options.regularExpression)
        return text.contains(wanted, options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    const QRegularExpression expression(wanted, options.matchCase
                                                    ? QRegularExpression::NoPatternOption
                                                    : QRegularExpression::CaseInsensitiveOption);
    return expression.match(text).hasMatch();
}

} // namespace

QString ContentCheck::text(const QByteArray& body, const QString& header) {
    const QByteArray charset = charsetOf(header);
    QStringDecoder decoder(charset.isEmpty() ? "UTF-8" : charset.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

QString ContentCheck::failure(const PageOptions& options, const QString& text, bool cut) {
    QString error;
    if (!options.mustContain.isEmpty() && !found(text, options.mustContain, options))
        error =
            QStringLiteral("Content check failed: text not found: ") + options.mustContain.left(QuotedLength);
    else if (!options.mustNotContain.isEmpty() && found(text, options.mustNotContain, options))
        error =
            QStringLiteral("Content check failed: text found: ") + options.mustNotContain.left(QuotedLength);
    if (!error.isEmpty() && cut)
        error += QStringLiteral(" (first 1 MiB searched)");
    return error;
}
