#include "settings/Settings.h"

#include "settings/AlarmBoxes.h"
#include "settings/SettingsSchema.h"

Settings::Settings(QObject* parent) : QObject(parent) {
    for (const SettingDefinition& definition : SettingsSchema::all())
        if (definition.kind != SettingKind::PageList)
            values_.insert(definition.key, definition.initial);
}

QString Settings::text(const QString& key) const {
    Q_ASSERT(values_.contains(key));
    return values_.value(key).toString();
}

bool Settings::tick(const QString& key) const {
    Q_ASSERT(values_.contains(key));
    return values_.value(key).toBool();
}

QStringList Settings::lines(const QString& key) const {
    Q_ASSERT(values_.contains(key));
    return values_.value(key).toStringList();
}

bool Settings::raises(AlarmCondition condition, AlarmReaction reaction) const {
    const AlarmBox* box = AlarmBoxes::find(condition, reaction);
    return box && tick(QString::fromLatin1(box->name));
}

void Settings::setText(const QString& key, const QString& value) {
    if (const SettingDefinition* definition = SettingsSchema::find(key);
        definition && definition->kind == SettingKind::Choice && !definition->choices.contains(value))
        return;
    set(key, value);
}

void Settings::setTick(const QString& key, bool value) {
    set(key, value);
}

void Settings::setLines(const QString& key, const QStringList& value) {
    // As a memo holds them: lines of one text, none when it is empty.
    const QString text = value.join(QLatin1Char('\n'));
    set(key, text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')));
}

void Settings::set(const QString& key, const QVariant& value) {
    const auto it = values_.find(key);
    Q_ASSERT(it != values_.end());
    if (it == values_.end() || *it == value)
        return;
    *it = value;
    emit changed(key);
}
