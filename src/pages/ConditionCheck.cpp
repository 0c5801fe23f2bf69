#include "pages/ConditionCheck.h"

#include "pages/ConditionValues.h"

#include <algorithm>

QList<Condition> ConditionCheck::parse(const QStringList& lines) {
    QList<Condition> conditions;
    for (const QString& line : lines)
        if (auto parsed = Condition::parse(line); std::holds_alternative<Condition>(parsed))
            conditions.append(std::get<Condition>(std::move(parsed)));
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
