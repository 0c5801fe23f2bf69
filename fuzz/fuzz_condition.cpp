// Any text as a page's condition, its first line the condition and the rest the body it reads:
// nothing crashes, an error points into the text, a condition that parses is evaluated, and
// the glob matcher agrees with the plain recursive one on short texts.
#include "pages/CheckFacts.h"
#include "pages/Condition.h"
#include "pages/ConditionCheck.h"
#include "pages/GlobPattern.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Tries every split at each star: exponential, so only for short texts.
bool globByRecursion(QStringView pattern, QStringView text) {
    if (pattern.isEmpty())
        return text.isEmpty();
    if (pattern[0] == QLatin1Char('*'))
        return globByRecursion(pattern.mid(1), text) ||
               (!text.isEmpty() && globByRecursion(pattern, text.mid(1)));
    return !text.isEmpty() && (pattern[0] == QLatin1Char('?') || pattern[0] == text[0]) &&
           globByRecursion(pattern.mid(1), text.mid(1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = bytes.indexOf('\n');
    const QString text = QString::fromUtf8(newline < 0 ? bytes : bytes.left(newline));
    const auto parsed = Condition::parse(text);
    if (const auto* error = std::get_if<Condition::ParseError>(&parsed)) {
        if (error->column < 1 || error->column > text.size() + 1 || error->message.isEmpty())
            std::abort();
    } else {
        CheckFacts facts;
        facts.status = 200;
        facts.connected = true;
        facts.header = QStringLiteral("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n");
        facts.body = newline < 0 ? QByteArray() : bytes.mid(newline + 1);
        facts.dnsAnswers = QStringList{QStringLiteral("10 mail.example.org."), QStringLiteral("192.0.2.1")};
        const std::optional<QString> failure =
            ConditionCheck::firstFailure({std::get<Condition>(parsed)}, facts);
        if (failure && !failure->startsWith(QStringLiteral("condition not met: ")))
            std::abort();
    }
    // "PATTERN|TEXT" also tries the glob alone.
    if (const qsizetype bar = text.indexOf(QLatin1Char('|')); bar >= 0 && text.size() <= 24) {
        const QString pattern = text.left(bar);
        const QString against = text.mid(bar + 1);
        if (GlobPattern::matches(pattern, against) != globByRecursion(pattern, against))
            std::abort();
    }
    return 0;
}
