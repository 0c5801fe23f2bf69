#pragma once

#include "pages/CheckFacts.h"

#include <QString>
#include <memory>
#include <variant>

struct ConditionTree;
class ConditionValues;

// One condition of a page, "LEFT OP RIGHT" such as "[BODY].status == UP", parsed once and
// evaluated against each check. Copies share the parsed tree.
class Condition {
public:
    struct ParseError {
        int column = 0; // 1-based, where the text stops making sense
        QString message;
    };
    struct Verdict {
        bool holds = false;
        // What the left side was, as the log shows it: "DOWN", "missing", "153".
        QString found;
    };

    // The condition, or why the text is none.
    static std::variant<Condition, ParseError> parse(const QString& text);
    Verdict evaluate(ConditionValues& values) const;
    const QString& text() const { return text_; }
    // The condition reads the page's body, which a HEAD request does not bring.
    bool readsBody() const;

private:
    Condition(const QString& text, std::shared_ptr<const ConditionTree> tree);
    QString text_;
    std::shared_ptr<const ConditionTree> tree_;
};
