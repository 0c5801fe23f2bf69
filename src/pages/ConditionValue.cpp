#include "pages/ConditionValue.h"

#include "pages/ConditionParser.h"

#include <QLocale>
#include <cmath>

namespace {

constexpr qsizetype ShownLength = 200;
// Whole numbers up to here are exact in a double, and are written without a fraction.
constexpr double ExactWhole = 9007199254740992.0;

} // namespace

ConditionValue ConditionValue::of(double number) {
    ConditionValue value;
    value.present = true;
    value.number = number;
    value.text = std::trunc(number) == number && std::abs(number) < ExactWhole
                     ? QString::number(qint64(number))
                     : QString::number(number, 'g', QLocale::FloatingPointShortest);
    return value;
}

ConditionValue ConditionValue::of(const QString& text) {
    return {true, text, ConditionParser::number(text), std::nullopt};
}

ConditionValue ConditionValue::of(const QStringList& answers) {
    return {true, answers.join(QStringLiteral(", ")), std::nullopt, answers};
}

QString ConditionValue::shown() const {
    if (!present)
        return QStringLiteral("missing");
    if (text.isEmpty())
        return QStringLiteral("empty");
    QString line = text.left(ShownLength);
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    if (text.size() > ShownLength)
        line += QChar(0x2026); // …
    return line;
}
