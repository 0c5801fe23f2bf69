#include "pages/PageOptionsJson.h"

#include "pages/PageAddress.h"
#include "pages/PageOptions.h"
#include "pages/PageOptionsCheck.h"

#include <QJsonArray>
#include <limits>

namespace {

template <typename Field> struct OptionKey {
    const char* key;
    Field PageOptions::*field;
};

const OptionKey<QString> TextKeys[] = {
    {"mustContain", &PageOptions::mustContain},
    {"mustNotContain", &PageOptions::mustNotContain},
    {"user", &PageOptions::user},
    {"acceptedStatusCodes", &PageOptions::acceptedCodes},
    {"dependsOn", &PageOptions::dependsOn},
    {"send", &PageOptions::send},
    {"expect", &PageOptions::expect},
};
const OptionKey<bool> FlagKeys[] = {
    {"regularExpression", &PageOptions::regularExpression},
    {"matchCase", &PageOptions::matchCase},
    {"allowLoginOverPlainHttp", &PageOptions::plainLogin},
};
// Kept as the text that was typed, written as the number it is.
const OptionKey<QString> SecondsKeys[] = {
    {"timeOutSeconds", &PageOptions::timeOut},
    {"slowAfterSeconds", &PageOptions::slowAfter},
};
const QString MethodKey = QStringLiteral("method");
// Lists of texts, one a line as typed.
const OptionKey<QStringList> LineKeys[] = {
    {"headers", &PageOptions::headers},
    {"conditions", &PageOptions::conditions},
};

template <typename Field, std::size_t Count>
const OptionKey<Field>* findKey(const OptionKey<Field> (&keys)[Count], const QString& key) {
    for (const OptionKey<Field>& known : keys)
        if (key == QLatin1String(known.key))
            return &known;
    return nullptr;
}

QString wrongType(const QString& key, const char* expected) {
    return QLatin1Char('"') + key + QStringLiteral("\" is not ") + QLatin1String(expected);
}

// The value of one key into options; what is wrong with it, or empty.
QString readKey(const QString& key, const QJsonValue& value, PageOptions& options) {
    if (const auto* text = findKey(TextKeys, key)) {
        if (!value.isString())
            return wrongType(key, "a text");
        options.*text->field = value.toString();
    } else if (const auto* flag = findKey(FlagKeys, key)) {
        if (!value.isBool())
            return wrongType(key, "true or false");
        options.*flag->field = value.toBool();
    } else if (const auto* seconds = findKey(SecondsKeys, key)) {
        constexpr qint64 NotWhole = std::numeric_limits<qint64>::min();
        const qint64 number = value.toInteger(NotWhole);
        if (number == NotWhole)
            return wrongType(key, "a whole number");
        options.*seconds->field = QString::number(number);
    } else if (key == MethodKey) {
        const QString method = value.toString().toUpper();
        if (method != QLatin1String("GET") && method != QLatin1String("HEAD"))
            return wrongType(key, "\"GET\" or \"HEAD\"");
        options.get = method == QLatin1String("GET");
    } else if (const auto* lines = findKey(LineKeys, key)) {
        if (!value.isArray())
            return wrongType(key, "a list of texts");
        for (const QJsonValue line : value.toArray()) {
            if (!line.isString())
                return wrongType(key, "a list of texts");
            (options.*lines->field).append(line.toString());
        }
    } else {
        return QStringLiteral("unknown option \"") + key + QLatin1Char('"');
    }
    return {};
}

} // namespace

QJsonObject PageOptionsJson::write(const PageOptions& options) {
    const PageOptions plain;
    QJsonObject object;
    if (options.get)
        object.insert(MethodKey, QStringLiteral("GET"));
    for (const auto& [key, field] : TextKeys)
        if (options.*field != plain.*field)
            object.insert(QLatin1String(key), options.*field);
    for (const auto& [key, field] : FlagKeys)
        if (options.*field != plain.*field)
            object.insert(QLatin1String(key), options.*field);
    for (const auto& [key, field] : SecondsKeys)
        if (!(options.*field).isEmpty())
            object.insert(QLatin1String(key), (options.*field).trimmed().toLongLong());
    for (const auto& [key, field] : LineKeys)
        if (!(options.*field).isEmpty())
            object.insert(QLatin1String(key), QJsonArray::fromStringList(options.*field));
    return object;
}

QString PageOptionsJson::read(const QJsonObject& object, PageOptions& options) {
    options = PageOptions();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        if (QString problem = readKey(it.key(), it.value(), options); !problem.isEmpty())
            return problem;
    // As the list holds its pages, so that it names the page it means.
    options.dependsOn = namingPageAddress(options.dependsOn);
    QStringList wrong;
    PageOptionsCheck::rightValues(options, wrong);
    return wrong.value(0);
}
