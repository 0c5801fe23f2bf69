#pragma once

#include <QList>
#include <QString>
#include <optional>

// A condition as parsed: the value its left side reads, how it compares, and what stands on
// its right. Built once by ConditionParser and never changed, so conditions share it.
struct ConditionTree {
    // Deeper JSON is not read at all: a path into it finds nothing.
    static constexpr int MaxJsonDepth = 64;

    enum class Source {
        Status,
        ResponseTime,
        Connected,
        Ip,
        CertificateExpiration,
        Header,
        Body,
        DnsRcode,
        Answers
    };
    enum class Function { None, Len, Has };
    enum class Operator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual, Contains };
    // Plain values; pat(glob); any(a, b, ...).
    enum class Right { Values, Pattern, AnyOf };

    // One step of a path into a JSON body: a member's name, or an element's index.
    struct Step {
        QString key;
        qsizetype index = -1; // -1: the step is key
    };
    struct Literal {
        QString text;
        std::optional<double> number; // when written as a number, unquoted
    };

    Source source = Source::Status;
    QString headerName;
    QList<Step> path;
    Function function = Function::None;
    Operator op = Operator::Equal;
    Right right = Right::Values;
    QList<Literal> values; // more than one only for [ANSWERS] and any()

    // [ANSWERS] itself, compared as a set of records.
    bool answerSet() const { return source == Source::Answers && function == Function::None; }
};
