#include "pages/PageOptionsCheck.h"

#include "net/AddressLogin.h"
#include "net/HeaderLines.h"
#include "net/Probe.h"
#include "net/StatusCodeList.h"
#include "pages/Condition.h"
#include "pages/PageOptions.h"

#include <QRegularExpression>
#include <QUrl>
#include <limits>

QString PageOptionsCheck::pattern(const QString& text, bool regularExpression) {
    if (!regularExpression || text.isEmpty())
        return {};
    const QRegularExpression expression(text);
    if (expression.isValid())
        return {};
    return QStringLiteral("not a regular expression: ") + expression.errorString() + QStringLiteral(" at ") +
           QString::number(expression.patternErrorOffset());
}

QString PageOptionsCheck::headers(const QStringList& lines) {
    for (const QString& line : lines)
        if (QString problem = HeaderLines::problem(line); !problem.isEmpty())
            return problem;
    return {};
}

QString PageOptionsCheck::acceptedCodes(const QString& text) {
    if (StatusCodeList::parse(text))
        return {};
    return QStringLiteral("not a list of status codes such as 200-299,301,401");
}

QString PageOptionsCheck::seconds(const QString& text) {
    if (text.trimmed().isEmpty())
        return {};
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok && value >= 1 && value <= std::numeric_limits<int>::max() / 1000)
        return {};
    return QStringLiteral("not a whole number of seconds");
}

QString PageOptionsCheck::conditions(const QStringList& lines) {
    for (int line = 0; line < lines.size(); ++line) {
        if (lines[line].trimmed().isEmpty())
            continue;
        const auto parsed = Condition::parse(lines[line]);
        if (const auto* error = std::get_if<Condition::ParseError>(&parsed))
            return QStringLiteral("line %1, column %2: %3")
                .arg(line + 1)
                .arg(error->column)
                .arg(error->message);
    }
    return {};
}

QString PageOptionsCheck::address(const QString& text) {
    const QUrl url(text);
    const QString scheme = url.scheme();
    if (url.isValid() && !url.host().isEmpty() &&
        (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
        return {};
    // A DNS name, a port or a mail server; a DNS address may leave its resolver to the system.
    if (url.isValid() && Probe::handles(text) && (!url.host().isEmpty() || scheme == QLatin1String("dns")))
        return {};
    // The message goes to a terminal or a log, where a password has no business.
    return QStringLiteral("not an http or https address: ") + splitLogin(text).address;
}

PageOptions PageOptionsCheck::rightValues(const PageOptions& options, QStringList& dropped) {
    PageOptions right = options;
    const auto check = [&](const char* field, const QString& problem, auto clear) {
        if (problem.isEmpty())
            return;
        dropped.append(QLatin1String(field) + QStringLiteral(": ") + problem);
        clear();
    };
    check("Must contain", pattern(options.mustContain, options.regularExpression),
          [&] { right.mustContain.clear(); });
    check("Must not contain", pattern(options.mustNotContain, options.regularExpression),
          [&] { right.mustNotContain.clear(); });
    check("Expect", pattern(options.expect, options.regularExpression), [&] { right.expect.clear(); });
    check("Conditions", conditions(options.conditions), [&] { right.conditions.clear(); });
    check("Extra headers", headers(options.headers), [&] { right.headers.clear(); });
    check("Accepted status codes", acceptedCodes(options.acceptedCodes),
          [&] { right.acceptedCodes.clear(); });
    check("Time-out (s)", seconds(options.timeOut), [&] { right.timeOut.clear(); });
    check("Slow after (s)", seconds(options.slowAfter), [&] { right.slowAfter.clear(); });
    check("Depends on", options.dependsOn.isEmpty() ? QString() : address(options.dependsOn),
          [&] { right.dependsOn.clear(); });
    return right;
}
