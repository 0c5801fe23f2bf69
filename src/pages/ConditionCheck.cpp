#include "pages/ConditionCheck.h"

#include "pages/ConditionValues.h"

#include <QHash>
#include <algorithm>

namespace {

// The conditions are the same from one check of a page to the next: each text is parsed once, and
// its tree shared. A list that ever held more texts than this starts over.
constexpr qsizetype MostKeptTrees = 10000;

} // namespace

QList<Condition> ConditionCheck::parse(const QStringList& lines) {
    static QHash<QString, std::optional<Condition>> parsedBefore;
    QList<Condition> conditions;
    for (const QString& line : lines) {
        auto known = parsedBefore.constFind(line);
        if (known == parsedBefore.constEnd()) {
            if (parsedBefore.size() >= MostKeptTrees)
                parsedBefore.clear();
            auto parsed = Condition::parse(line);
            known = parsedBefore.insert(line, std::holds_alternative<Condition>(parsed)
                                                  ? std::optional(std::get<Condition>(std::move(parsed)))
                                                  : std::nullopt);
        }
        if (*known)
            conditions.append(**known);
    }
    return conditions;
}

std::optional<QString> ConditionCheck::firstFailure(const QList<Condition>& conditions,
                                                    const CheckFacts& facts) {
    ConditionValues values(facts);
    for (const Condition& condition : conditions) {
        const Condition::Verdict verdict = condition.evaluate(values);
        if (!verdict.holds)
            return QStringLiteral("condition not met: ") + condition.text() + QStringLiteral(" (was ") +
                   verdict.found + QLatin1Char(')');
    }
    return std::nullopt;
}

bool ConditionCheck::readsBody(const QStringList& lines) {
    const QList<Condition> conditions = parse(lines);
    return std::any_of(conditions.cbegin(), conditions.cend(),
                       [](const Condition& condition) { return condition.readsBody(); });
}
