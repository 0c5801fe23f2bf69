#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A value the left side of a condition read from a check: text, a number where it reads as
// one, the set of a DNS answer, or nothing at all.
struct ConditionValue {
    bool present = false;
    QString text;
    std::optional<double> number;
    std::optional<QStringList> answers;

    static ConditionValue of(double number);
    // A number too when the text is one.
    static ConditionValue of(const QString& text);
    static ConditionValue of(const QStringList& answers);
    // As a log line shows it: "missing", "empty", or the text on one line, at most a couple of
    // hundred characters of it.
    QString shown() const;
};
