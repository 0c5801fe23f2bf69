#include "check/ContentCheck.h"

#include "pages/PageOptions.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

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

// Whether the text holds what is wanted; nothing when the pattern engine gave up (a match or
// depth limit reached, as nested quantifiers do on a large page), which is no answer either way.
std::optional<bool> found(const QString& text, const QString& wanted, const PageOptions& options) {
    if (!options.regularExpression)
        return text.contains(wanted, options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    const QRegularExpression expression(wanted, options.matchCase
                                                    ? QRegularExpression::NoPatternOption
                                                    : QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = expression.match(text);
    if (!match.isValid())
        return std::nullopt;
    return match.hasMatch();
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
    // A pattern that could not be decided fails the page: a check that cannot tell must not
    // pass in silence.
    const auto undecided = [](const QString& pattern) {
        return QStringLiteral("Content check failed: pattern could not be decided: ") +
               pattern.left(QuotedLength);
    };
    QString error;
    if (!options.mustContain.isEmpty()) {
        const std::optional<bool> there = found(text, options.mustContain, options);
        if (!there)
            return undecided(options.mustContain);
        if (!*there)
            error = QStringLiteral("Content check failed: text not found: ") +
                    options.mustContain.left(QuotedLength);
    }
    if (error.isEmpty() && !options.mustNotContain.isEmpty()) {
        const std::optional<bool> there = found(text, options.mustNotContain, options);
        if (!there)
            return undecided(options.mustNotContain);
        if (*there)
            error = QStringLiteral("Content check failed: text found: ") +
                    options.mustNotContain.left(QuotedLength);
    }
    if (!error.isEmpty() && cut)
        error += QStringLiteral(" (first 1 MiB searched)");
    return error;
}
