#include "pages/ConditionParser.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

using Source = ConditionTree::Source;
using Operator = ConditionTree::Operator;

const std::pair<const char*, Source> SourceNames[] = {
    {"STATUS", Source::Status},
    {"RESPONSE_TIME", Source::ResponseTime},
    {"CONNECTED", Source::Connected},
    {"IP", Source::Ip},
    {"CERTIFICATE_EXPIRATION", Source::CertificateExpiration},
    {"HEADER", Source::Header},
    {"BODY", Source::Body},
    {"DNS_RCODE", Source::DnsRcode},
    {"ANSWERS", Source::Answers},
};

// Longer symbols first, so that "<=" is not read as "<".
const std::pair<const char*, Operator> OperatorSymbols[] = {
    {"==", Operator::Equal},          {"!=", Operator::NotEqual}, {"<=", Operator::LessOrEqual},
    {">=", Operator::GreaterOrEqual}, {"<", Operator::Less},      {">", Operator::Greater},
    {"contains", Operator::Contains},
};

// What ends a bare word on the right, a member's name in a path, and a header field's name
// (which may hold a dot). Names stop at an operator too, so "[BODY].status==UP" reads.
constexpr const char* WordStops = " \t,()\"";
constexpr const char* NameStops = " \t,()\".[]=<>!";
constexpr const char* HeaderStops = " \t,()\"[]=<>!";
constexpr int MaxIndexDigits = 9;

bool isConditionBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

std::variant<ConditionTree, Condition::ParseError> ConditionParser::parse() {
    ConditionTree tree;
    skipBlanks();
    if (left(tree) && op(tree) && right(tree) && end())
        return tree;
    return *error_;
}

std::optional<double> ConditionParser::number(QStringView text) {
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        return i > from;
    };
    if (!digits())
        return std::nullopt;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        if (!digits())
            return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (i != text.size() || !ok)
        return std::nullopt;
    return value;
}

bool ConditionParser::left(ConditionTree& tree) {
    const qsizetype start = pos_;
    const QStringView name = letters();
    const bool len = name == QLatin1String("len");
    if (!len && name != QLatin1String("has"))
        return placeholder(tree);
    tree.function = len ? ConditionTree::Function::Len : ConditionTree::Function::Has;
    pos_ += name.size();
    skipBlanks();
    if (!take(QLatin1Char('(')))
        return fail(pos_, QStringLiteral("expected ( after ") + name.toString());
    skipBlanks();
    if (!placeholder(tree))
        return false;
    skipBlanks();
    return take(QLatin1Char(')')) ||
           fail(pos_, QStringLiteral("expected ) to close what ") + name.toString() +
                          QStringLiteral(" opened at column ") + QString::number(start + 1));
}

bool ConditionParser::placeholder(ConditionTree& tree) {
    const qsizetype start = pos_;
    if (!take(QLatin1Char('[')))
        return fail(start, QStringLiteral("expected a value such as [STATUS], len(...) or has(...)"));
    const qsizetype close = text_.indexOf(QLatin1Char(']'), pos_);
    if (close < 0)
        return fail(start, QStringLiteral("no ] closes this ["));
    const QStringView name = QStringView(text_).mid(pos_, close - pos_);
    const auto* known = std::find_if(std::begin(SourceNames), std::end(SourceNames),
                                     [&](const auto& entry) { return name == QLatin1String(entry.first); });
    if (known == std::end(SourceNames))
        return fail(start, QStringLiteral("unknown value [") + name.left(40).toString() + QLatin1Char(']'));
    tree.source = known->second;
    pos_ = close + 1;
    if (tree.source == Source::Body)
        return path(tree);
    if (tree.source != Source::Header)
        return true;
    if (!take(QLatin1Char('.')))
        return fail(pos_, QStringLiteral("expected .Name after [HEADER]"));
    tree.headerName = bare(HeaderStops).toString();
    return !tree.headerName.isEmpty() || fail(pos_, QStringLiteral("expected a header name after [HEADER]."));
}

bool ConditionParser::path(ConditionTree& tree) {
    for (;;) {
        const qsizetype start = pos_;
        if (take(QLatin1Char('.'))) {
            const QStringView key = bare(NameStops);
            if (key.isEmpty())
                return fail(pos_, QStringLiteral("expected a name after ."));
            tree.path.append({key.toString()});
        } else if (take(QLatin1Char('['))) {
            const qsizetype from = pos_;
            while (pos_ < text_.size() && text_[pos_] >= QLatin1Char('0') && text_[pos_] <= QLatin1Char('9'))
                ++pos_;
            if (pos_ == from)
                return fail(from, QStringLiteral("expected an index such as [0]"));
            if (pos_ - from > MaxIndexDigits)
                return fail(from, QStringLiteral("index too large"));
            if (!take(QLatin1Char(']')))
                return fail(pos_, QStringLiteral("expected ] after the index"));
            const QStringView digits = QStringView(text_).mid(from, pos_ - from - 1);
            tree.path.append({QString(), digits.toLongLong()});
        } else {
            return true;
        }
        if (tree.path.size() > ConditionTree::MaxJsonDepth)
            return fail(start, QStringLiteral("a path deeper than ") +
                                   QString::number(ConditionTree::MaxJsonDepth) + QStringLiteral(" levels"));
    }
}

bool ConditionParser::op(ConditionTree& tree) {
    skipBlanks();
    const qsizetype start = pos_;
    const QStringView rest = QStringView(text_).mid(pos_);
    for (const auto& [symbol, op] : OperatorSymbols) {
        if (!rest.startsWith(QLatin1String(symbol)))
            continue;
        pos_ += qsizetype(qstrlen(symbol));
        if (op == Operator::Contains && !isConditionBlank(peek()))
            break; // "containsX" is no operator
        tree.op = op;
        const bool ordering = op != Operator::Equal && op != Operator::NotEqual && op != Operator::Contains;
        if (tree.answerSet() && ordering)
            return fail(start, QStringLiteral("[ANSWERS] compares with ==, != or contains"));
        return true;
    }
    return fail(start, QStringLiteral("expected ==, !=, <, <=, >, >= or contains"));
}

bool ConditionParser::right(ConditionTree& tree) {
    skipBlanks();
    const qsizetype start = pos_;
    const QStringView name = letters();
    const bool pattern = name == QLatin1String("pat");
    if (pattern || name == QLatin1String("any")) {
        pos_ += name.size();
        skipBlanks();
        if (peek() == QLatin1Char('('))
            return call(tree, pattern ? ConditionTree::Right::Pattern : ConditionTree::Right::AnyOf, start);
        pos_ = start; // a bare word that starts like a function
    }
    const bool answers = tree.answerSet();
    for (;;) {
        if (!literal(tree, answers))
            return false;
        skipBlanks();
        if (peek() != QLatin1Char(','))
            return true;
        if (!answers)
            return fail(pos_, QStringLiteral("a list of values is for [ANSWERS] or any(...)"));
        if (tree.op == Operator::Contains)
            return fail(pos_, QStringLiteral("contains takes one answer"));
        ++pos_;
        skipBlanks();
    }
}

bool ConditionParser::call(ConditionTree& tree, ConditionTree::Right form, qsizetype start) {
    const QString name =
        form == ConditionTree::Right::Pattern ? QStringLiteral("pat") : QStringLiteral("any");
    if (tree.op != Operator::Equal && tree.op != Operator::NotEqual)
        return fail(start, name + QStringLiteral("(...) goes with == or !="));
    if (tree.answerSet())
        return fail(start, QStringLiteral("[ANSWERS] takes a list of answers, not ") + name +
                               QStringLiteral("(...)"));
    tree.right = form;
    take(QLatin1Char('('));
    do {
        skipBlanks();
        if (!literal(tree, false))
            return false;
        skipBlanks();
    } while (form == ConditionTree::Right::AnyOf && take(QLatin1Char(',')));
    return take(QLatin1Char(')')) ||
           fail(pos_, QStringLiteral("expected ) to close ") + name + QStringLiteral("( at column ") +
                          QString::number(start + 1));
}

bool ConditionParser::literal(ConditionTree& tree, bool words) {
    if (peek() == QLatin1Char('"'))
        return quoted(tree);
    const qsizetype start = pos_;
    bare(WordStops);
    // A DNS record in presentation form has blanks: "10 mail.example.org.".
    while (words && pos_ > start) {
        const qsizetype wordEnd = pos_;
        skipBlanks();
        if (bare(WordStops).isEmpty()) {
            pos_ = wordEnd;
            break;
        }
    }
    if (pos_ == start)
        return fail(start, QStringLiteral("expected a value"));
    const QString text = text_.mid(start, pos_ - start);
    if (text.startsWith(QLatin1Char('[')))
        return fail(start, QStringLiteral(
                               "a value such as [STATUS] goes on the left; quote text that starts with ["));
    tree.values.append({text, number(text)});
    return true;
}

bool ConditionParser::quoted(ConditionTree& tree) {
    const qsizetype start = pos_++;
    QString text;
    while (pos_ < text_.size()) {
        const QChar c = text_[pos_++];
        if (c == QLatin1Char('"')) {
            tree.values.append({text, std::nullopt});
            return true;
        }
        const QChar next = peek();
        if (c == QLatin1Char('\\') && (next == QLatin1Char('"') || next == QLatin1Char('\\'))) {
            text += next;
            ++pos_;
        } else {
            text += c;
        }
    }
    return fail(start, QStringLiteral("no \" closes this text"));
}

bool ConditionParser::end() {
    skipBlanks();
    return pos_ == text_.size() ||
           fail(pos_,
                QStringLiteral("expected the end of the condition; text with blanks goes in double quotes"));
}

bool ConditionParser::fail(qsizetype at, const QString& message) {
    if (!error_)
        error_ = Condition::ParseError{int(at + 1), message};
    return false;
}

bool ConditionParser::take(QChar c) {
    if (peek() != c)
        return false;
    ++pos_;
    return true;
}

void ConditionParser::skipBlanks() {
    while (pos_ < text_.size() && isConditionBlank(text_[pos_]))
        ++pos_;
}

QStringView ConditionParser::letters() const {
    qsizetype end = pos_;
    while (end < text_.size() && text_[end].isLetter())
        ++end;
    return QStringView(text_).mid(pos_, end - pos_);
}

QStringView ConditionParser::bare(const char* stops) {
    const qsizetype start = pos_;
    while (pos_ < text_.size() &&
           (text_[pos_].unicode() >= 128 || !std::strchr(stops, text_[pos_].toLatin1())))
        ++pos_;
    return QStringView(text_).mid(start, pos_ - start);
}
