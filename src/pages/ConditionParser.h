#pragma once

#include "pages/Condition.h"
#include "pages/ConditionTree.h"

#include <QString>
#include <optional>
#include <variant>

// Reads the text of one condition into its tree, left to right in one pass. The first thing
// that does not fit stops it, with the column where it stands.
class ConditionParser {
public:
    explicit ConditionParser(const QString& text) : text_(text) {}

    std::variant<ConditionTree, Condition::ParseError> parse();

    // -12, 3, 0.25: what the conditions compare as numbers.
    static std::optional<double> number(QStringView text);

private:
    bool left(ConditionTree& tree);
    bool placeholder(ConditionTree& tree);
    bool path(ConditionTree& tree);
    bool op(ConditionTree& tree);
    bool right(ConditionTree& tree);
    bool call(ConditionTree& tree, ConditionTree::Right form, qsizetype start);
    bool literal(ConditionTree& tree, bool words);
    bool quoted(ConditionTree& tree);
    bool end();

    // Sets the error, the first one only; returns false so a rule can return it.
    bool fail(qsizetype at, const QString& message);
    QChar peek() const { return pos_ < text_.size() ? text_[pos_] : QChar(); }
    bool take(QChar c);
    void skipBlanks();
    // The letters at the position, without moving past them.
    QStringView letters() const;
    // Moves past a run of characters that may stand in a bare word or a name; returns it.
    QStringView bare(const char* stops);

    const QString& text_;
    qsizetype pos_ = 0;
    std::optional<Condition::ParseError> error_;
};
