#include "pages/ConditionValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Source = ConditionTree::Source;

ConditionValue ofJson(const QJsonValue& json) {
    switch (json.type()) {
    case QJsonValue::String:
        return ConditionValue::of(json.toString());
    case QJsonValue::Double:
        return ConditionValue::of(json.toDouble());
    case QJsonValue::Bool:
        return ConditionValue::of(json.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
    case QJsonValue::Null:
        return ConditionValue::of(QStringLiteral("null"));
    case QJsonValue::Array:
        return ConditionValue::of(
            QString::fromUtf8(QJsonDocument(json.toArray()).toJson(QJsonDocument::Compact)));
    case QJsonValue::Object:
        return ConditionValue::of(
            QString::fromUtf8(QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact)));
    case QJsonValue::Undefined:
        break;
    }
    return {};
}

template <typename Number> ConditionValue ofNumber(const std::optional<Number>& number) {
    return number ? ConditionValue::of(double(*number)) : ConditionValue();
}

ConditionValue ofText(const QString& text) {
    return text.isEmpty() ? ConditionValue() : ConditionValue::of(text);
}

} // namespace

ConditionValue ConditionValues::read(const ConditionTree& tree) {
    const bool inJson = tree.source == Source::Body && !tree.path.isEmpty();
    const std::optional<QJsonValue> json = inJson ? member(tree.path) : std::nullopt;
    const ConditionValue value = !inJson ? source(tree) : json ? ofJson(*json) : ConditionValue();
    switch (tree.function) {
    case ConditionTree::Function::None:
        break;
    case ConditionTree::Function::Has:
        return ConditionValue::of(value.present ? QStringLiteral("true") : QStringLiteral("false"));
    case ConditionTree::Function::Len:
        if (!value.present)
            break;
        if (value.answers)
            return ConditionValue::of(double(value.answers->size()));
        if (json && json->isArray())
            return ConditionValue::of(double(json->toArray().size()));
        if (json && json->isObject())
            return ConditionValue::of(double(json->toObject().size()));
        return ConditionValue::of(double(value.text.size()));
    }
    return value;
}

ConditionValue ConditionValues::source(const ConditionTree& tree) const {
    switch (tree.source) {
    case Source::Status:
        return ofNumber(facts_.status);
    case Source::ResponseTime:
        return ofNumber(facts_.responseTimeMs);
    case Source::Connected:
        return ConditionValue::of(facts_.connected ? QStringLiteral("true") : QStringLiteral("false"));
    case Source::Ip:
        return ofText(facts_.ip);
    case Source::CertificateExpiration:
        return ofNumber(facts_.certificateHours);
    case Source::Header:
        return header(tree.headerName);
    case Source::Body:
        return facts_.body ? ConditionValue::of(QString::fromUtf8(*facts_.body)) : ConditionValue();
    case Source::DnsRcode:
        return ofText(facts_.dnsRcode);
    case Source::Answers:
        return facts_.dnsAnswers ? ConditionValue::of(*facts_.dnsAnswers) : ConditionValue();
    }
    return {};
}

// A field that comes more than once reads as its values joined by commas, as HTTP combines them.
ConditionValue ConditionValues::header(const QString& name) const {
    QStringList values;
    for (QStringView line : QStringView(facts_.header).split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.first(colon).compare(name, Qt::CaseInsensitive) == 0)
            values.append(line.mid(colon + 1).trimmed().toString());
    }
    return values.isEmpty() ? ConditionValue() : ConditionValue::of(values.join(QStringLiteral(", ")));
}

std::optional<QJsonValue> ConditionValues::member(const QList<ConditionTree::Step>& path) {
    if (!parsed_) {
        parsed_ = true;
        if (facts_.body && shallow(*facts_.body)) {
            const QJsonDocument document = QJsonDocument::fromJson(*facts_.body);
            if (document.isObject())
                root_ = document.object();
            else if (document.isArray())
                root_ = document.array();
        }
    }
    if (!root_)
        return std::nullopt;
    QJsonValue at = *root_;
    for (const ConditionTree::Step& step : path) {
        if (step.index < 0 && at.isObject() && at.toObject().contains(step.key))
            at = at.toObject().value(step.key);
        else if (step.index >= 0 && at.isArray() && step.index < at.toArray().size())
            at = at.toArray().at(step.index);
        else
            return std::nullopt;
    }
    return at;
}

bool ConditionValues::shallow(const QByteArray& json) {
    int depth = 0;
    bool inText = false;
    bool escaped = false;
    for (const char c : json) {
        if (inText) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inText = false;
        } else if (c == '"') {
            inText = true;
        } else if (c == '{' || c == '[') {
            if (++depth > ConditionTree::MaxJsonDepth)
                return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}
