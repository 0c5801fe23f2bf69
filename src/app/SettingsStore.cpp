#include "app/SettingsStore.h"

#include "app/CommaText.h"
#include "net/IniFile.h"
#include "pages/PageRecords.h"
#include "views/TCheckListBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <map>
#include <stdexcept>

namespace {

template <class T> T* exactly(QObject* component) {
    return component->metaObject() == &T::staticMetaObject ? static_cast<T*>(component) : nullptr;
}

bool kept(const QObject* component) {
    return !component->property(SettingsStore::NotSaved).toBool();
}

// The page list that a check list shows.
PageRecords* listedPages(const TCheckListBox* list) {
    return qobject_cast<PageRecords*>(list->model());
}

QString checkListValue(const QList<ListedValue>& items) {
    QString value;
    for (const ListedValue& item : items) {
        value += item.checked ? QLatin1Char('1') : QLatin1Char('0');
        value += item.text;
        value += QLatin1Char(',');
    }
    return value;
}

// Each item is its mark ("1" ticks it), its text and a comma. A last item without its comma
// (a hand-edited file) still becomes an item rather than being dropped.
QList<ListedValue> checkListItems(const QString& value) {
    QList<ListedValue> items;
    qsizetype start = 0;
    while (start < value.size()) {
        qsizetype comma = value.indexOf(QLatin1Char(','), start);
        if (comma < 0)
            comma = value.size();
        items.append({value.mid(start + 1, comma - start - 1), value[start] == QLatin1Char('1')});
        start = comma + 1;
    }
    return items;
}

QStringList memoLines(const QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

} // namespace

SettingsStore::SettingsStore(QString filePath, const QList<QObject*>& components)
    : filePath_(std::move(filePath)), components_(components) {}

void SettingsStore::addPart(Part part) {
    parts_.append(std::move(part));
}

void SettingsStore::LoadSettings() {
    const IniFile ini = IniFile::load(filePath_);
    const QString section = QString::fromLatin1(Section);
    // The page list takes its lists all at once, whatever their order in the file.
    PageRecords* pages = nullptr;
    std::map<PageRecords::Column, QList<ListedValue>> lists;
    for (QObject* component : components_) {
        if (!kept(component))
            continue;
        if (auto* list = exactly<TCheckListBox>(component))
            pages = listedPages(list);
        const std::optional<QString> stored = ini.value(section, component->objectName());
        // A missing key keeps the design default. A key written empty means the user emptied
        // the control, and it comes back empty.
        if (!stored)
            continue;
        const QString& value = *stored;
        if (auto* edit = exactly<QLineEdit>(component)) {
            if (edit->text() != value)
                edit->setText(value);
        } else if (auto* box = exactly<QCheckBox>(component)) {
            if (!value.isEmpty())
                box->setChecked(value == QLatin1String("1"));
        } else if (auto* list = exactly<TCheckListBox>(component)) {
            lists[PageRecords::Column(list->modelColumn())] = checkListItems(value);
        } else if (auto* memo = exactly<QPlainTextEdit>(component)) {
            memo->setPlainText(fromCommaText(value).join(QLatin1Char('\n')));
        } else if (auto* combo = exactly<QComboBox>(component)) {
            // A text that is none of the items (a hand-edited file) keeps the design choice.
            const int item = combo->findText(value);
            if (item >= 0)
                combo->setCurrentIndex(item);
        }
    }
    if (pages)
        pages->restore(lists);
    for (const Part& part : parts_)
        part.load(ini);
}

void SettingsStore::SaveSettings() {
    IniFile ini = IniFile::load(filePath_);
    const QString section = QString::fromLatin1(Section);
    for (QObject* component : components_) {
        if (!kept(component))
            continue;
        QString value;
        if (auto* edit = exactly<QLineEdit>(component))
            value = edit->text();
        else if (auto* box = exactly<QCheckBox>(component))
            value = box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        else if (auto* list = exactly<TCheckListBox>(component); list && listedPages(list))
            value = checkListValue(listedPages(list)->listed(PageRecords::Column(list->modelColumn())));
        else if (auto* memo = exactly<QPlainTextEdit>(component))
            value = QLatin1Char('"') + toCommaText(memoLines(memo)) + QLatin1Char('"');
        else if (auto* combo = exactly<QComboBox>(component))
            value = combo->currentText();
        else
            continue;
        ini.setValue(section, component->objectName(), value);
    }
    for (const Part& part : parts_)
        part.save(ini);
    if (!ini.save(filePath_))
        throw std::runtime_error(("Unable to write to " + filePath_).toStdString());
}
