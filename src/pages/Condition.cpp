#include "pages/Condition.h"

#include "pages/ConditionParser.h"
#include "pages/ConditionTree.h"
#include "pages/ConditionValues.h"
#include "pages/GlobPattern.h"

#include <QSet>
#include <algorithm>

namespace {

using Operator = ConditionTree::Operator;
using Literal = ConditionTree::Literal;

// Below zero, zero or above, as the value stands to the literal: by number where both are one.
int order(const ConditionValue& value, const Literal& literal) {
    if (value.number && literal.number)
        return *value.number < *literal.number ? -1 : *value.number > *literal.number ? 1 : 0;
    return value.text.compare(literal.text);
}

// A DNS answer as conditions compare it: letter case aside, and the same with or without the
// final dot of a name.
QString answerKey(const QString& answer) {
    QString key = answer.trimmed().toLower();
    if (key.size() > 1 && key.endsWith(QLatin1Char('.')))
        key.chop(1);
    return key;
}

QSet<QString> answerKeys(const QStringList& answers) {
    QSet<QString> keys;
    for (const QString& answer : answers)
        keys.insert(answerKey(answer));
    return keys;
}

bool holdsForAnswers(const QStringList& answers, const ConditionTree& tree) {
    QStringList named;
    for (const Literal& literal : tree.values)
        named.append(literal.text);
    if (tree.op == Operator::Contains)
        return answerKeys(answers).contains(answerKey(named.value(0)));
    return (answerKeys(answers) == answerKeys(named)) == (tree.op == Operator::Equal);
}

bool holds(const ConditionValue& value, const ConditionTree& tree) {
    if (!value.present)
        return false;
    if (value.answers && tree.right == ConditionTree::Right::Values)
        return holdsForAnswers(*value.answers, tree);
    const bool equal = tree.op == Operator::Equal;
    switch (tree.right) {
    case ConditionTree::Right::Pattern:
        return GlobPattern::matches(tree.values.value(0).text, value.text) == equal;
    case ConditionTree::Right::AnyOf:
        return std::any_of(tree.values.begin(), tree.values.end(),
                           [&](const Literal& literal) { return order(value, literal) == 0; }) == equal;
    case ConditionTree::Right::Values:
        break;
    }
    const Literal& literal = tree.values.value(0);
    switch (tree.op) {
    case Operator::Equal:
        return order(value, literal) == 0;
    case Operator::NotEqual:
        return order(value, literal) != 0;
    case Operator::Less:
        return order(value, literal) < 0;
    case Operator::LessOrEqual:
        return order(value, literal) <= 0;
    case Operator::Greater:
        return order(value, literal) > 0;
    case Operator::GreaterOrEqual:
        return order(value, literal) >= 0;
    case Operator::Contains:
        return value.text.contains(literal.text);
    }
    return false;
}

} // namespace

Condition::Condition(const QString& text, std::shared_ptr<const ConditionTree> tree)
    : text_(text.trimmed()), tree_(std::move(tree)) {}

std::variant<Condition, Condition::ParseError> Condition::parse(const QString& text) {
    auto parsed = ConditionParser(text).parse();
    if (auto* error = std::get_if<ParseError>(&parsed))
        return *error;
    return Condition(text, std::make_shared<const ConditionTree>(std::get<ConditionTree>(std::move(parsed))));
}

Condition::Verdict Condition::evaluate(ConditionValues& values) const {
    const ConditionValue value = values.read(*tree_);
    return {holds(value, *tree_), value.shown()};
}

bool Condition::readsBody() const {
    return tree_->source == ConditionTree::Source::Body;
}
