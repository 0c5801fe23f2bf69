#include "app/SettingsBinding.h"

#include "settings/Settings.h"
#include "settings/SettingsSchema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

template <class T> T* exactly(QObject* component) {
    return component->metaObject() == &T::staticMetaObject ? static_cast<T*>(component) : nullptr;
}

QStringList memoLines(const QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// Shows the value now and whenever it changes, and takes the control's edits.
template <class Control, class Show, class Take, class Edited>
void tie(Control* control, Settings& settings, const QString& key, Show show, Take take, Edited edited) {
    show();
    QObject::connect(&settings, &Settings::changed, control, [key, show](const QString& changed) {
        if (changed == key)
            show();
    });
    QObject::connect(control, edited, &settings, take);
}

} // namespace

void bindSettings(const QList<QObject*>& components, Settings& settings) {
    for (QObject* component : components) {
        const SettingDefinition* definition = SettingsSchema::find(component->objectName());
        if (!definition)
            continue;
        const QString key = definition->key;
        if (auto* edit = exactly<QLineEdit>(component)) {
            tie(
                edit, settings, key,
                [edit, &settings, key] {
                    if (edit->text() != settings.text(key))
                        edit->setText(settings.text(key));
                },
                [&settings, key](const QString& text) { settings.setText(key, text); },
                &QLineEdit::textChanged);
        } else if (auto* box = exactly<QCheckBox>(component)) {
            tie(
                box, settings, key, [box, &settings, key] { box->setChecked(settings.tick(key)); },
                [&settings, key](bool on) { settings.setTick(key, on); }, &QCheckBox::toggled);
        } else if (auto* combo = exactly<QComboBox>(component)) {
            tie(
                combo, settings, key, [combo, &settings, key] { combo->setCurrentText(settings.text(key)); },
                [&settings, key](const QString& text) { settings.setText(key, text); },
                &QComboBox::currentTextChanged);
        } else if (auto* memo = exactly<QPlainTextEdit>(component)) {
            tie(
                memo, settings, key,
                [memo, &settings, key] {
                    if (memoLines(memo) != settings.lines(key))
                        memo->setPlainText(settings.lines(key).join(QLatin1Char('\n')));
                },
                [memo, &settings, key] { settings.setLines(key, memoLines(memo)); },
                &QPlainTextEdit::textChanged);
        }
    }
}
