#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// What a setting holds, and so how the settings file writes it.
enum class SettingKind {
    Text,     // an edit field's text
    Tick,     // a check box: "1" or "0"
    Choice,   // one of a fixed list of texts (a drop-down list)
    Lines,    // lines of text (a memo), written as a quoted comma text
    PageList, // one of the page list's lists, written as marks, texts and commas
};

struct SettingDefinition {
    QString key; // the name of the control that shows it, and its key in the settings file
    SettingKind kind;
    // The design default: a text, a tick, lines; for a page list, the page list's column.
    QVariant initial;
    QStringList choices; // what a Choice may be
    bool saved = true;   // false: held for the run only (secrets live in the secret store)
    // Written only once it is set (or the file has it): a file of a user who never used it stays
    // as it was.
    bool whenSet = false;
};

// Every setting, in the order the window creates its controls: the order of the keys in a
// settings file written for the first time.
namespace SettingsSchema {

const QList<SettingDefinition>& all();
// The setting of that key, exactly as named; null for none.
const SettingDefinition* find(const QString& key);

} // namespace SettingsSchema
