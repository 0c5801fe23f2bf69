#include "settings/SettingsStore.h"

#include "net/AddressLogin.h"
#include "net/IniFile.h"
#include "pages/PageAddress.h"
#include "pages/PageRecords.h"
#include "settings/CommaText.h"
#include "settings/Settings.h"
#include "settings/SettingsSchema.h"

#include <map>
#include <stdexcept>

namespace {

QString pageListValue(const QList<ListedValue>& items) {
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
QList<ListedValue> pageListItems(const QString& value) {
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

PageRecords::Column columnOf(const SettingDefinition& definition) {
    return PageRecords::Column(definition.initial.toInt());
}

// A list as the file keeps it: the addresses in their kept form, the values as they are.
QString storedList(const PageRecords& pages, PageRecords::Column column) {
    QList<ListedValue> items = pages.listed(column);
    if (column == PageRecords::Address)
        for (ListedValue& item : items)
            item.text = storedPageAddress(item.text);
    return pageListValue(items);
}

} // namespace

SettingsStore::SettingsStore(QString filePath, Settings& settings, PageRecords& pages)
    : filePath_(std::move(filePath)), settings_(settings), pages_(pages) {}

void SettingsStore::addPart(Part part) {
    parts_.append(std::move(part));
}

void SettingsStore::LoadSettings() {
    const IniFile ini = IniFile::load(filePath_);
    const QString section = QString::fromLatin1(Section);
    for (const SettingDefinition& definition : SettingsSchema::all()) {
        if (!definition.saved)
            continue;
        const std::optional<QString> stored = ini.value(section, definition.key);
        // A key written empty means the user emptied the field, and it comes back empty.
        if (!stored)
            continue;
        const QString& value = *stored;
        switch (definition.kind) {
        case SettingKind::Text:
        case SettingKind::Choice:
            settings_.setText(definition.key, value);
            break;
        case SettingKind::Tick:
            if (!value.isEmpty())
                settings_.setTick(definition.key, value == QLatin1String("1"));
            break;
        case SettingKind::Lines:
            settings_.setLines(definition.key, fromCommaText(value));
            break;
        case SettingKind::PageList:
            break; // the page list takes its lists all at once, whatever their order in the file
        }
    }
    loadPageList(ini, pages_);
    for (const Part& part : parts_)
        part.load(ini);
}

void SettingsStore::SaveSettings() {
    IniFile ini = IniFile::load(filePath_);
    const QString section = QString::fromLatin1(Section);
    for (const SettingDefinition& definition : SettingsSchema::all()) {
        if (!definition.saved)
            continue;
        QString value;
        switch (definition.kind) {
        case SettingKind::Text:
        case SettingKind::Choice:
            value = settings_.text(definition.key);
            break;
        case SettingKind::Tick:
            value = settings_.tick(definition.key) ? QStringLiteral("1") : QStringLiteral("0");
            break;
        case SettingKind::Lines:
            value = QLatin1Char('"') + toCommaText(settings_.lines(definition.key)) + QLatin1Char('"');
            break;
        case SettingKind::PageList:
            value = storedList(pages_, columnOf(definition));
            break;
        }
        if (definition.whenSet && value == definition.initial.toString() &&
            !ini.value(section, definition.key))
            continue;
        ini.setValue(section, definition.key, value);
    }
    for (const Part& part : parts_)
        part.save(ini);
    if (!write(ini, filePath_, pages_))
        throw std::runtime_error(("Unable to write to " + filePath_).toStdString());
}

bool SettingsStore::write(const IniFile& ini, const QString& path, const PageRecords& pages) {
    bool passwords = pages.passwordsInSettings();
    for (int page = 0; page < pages.pageCount() && !passwords; ++page)
        passwords = !splitLogin(pages.url(page)).password.isEmpty();
    return ini.save(path, passwords);
}

void SettingsStore::loadPageList(const IniFile& ini, PageRecords& pages) {
    const QString section = QString::fromLatin1(Section);
    std::map<PageRecords::Column, QList<ListedValue>> lists;
    for (const SettingDefinition& definition : SettingsSchema::all())
        if (definition.kind == SettingKind::PageList)
            if (const std::optional<QString> stored = ini.value(section, definition.key))
                lists[columnOf(definition)] = pageListItems(*stored);
    if (const auto addresses = lists.find(PageRecords::Address); addresses != lists.end())
        for (ListedValue& item : addresses->second)
            item.text = typedPageAddress(item.text);
    pages.restore(lists);
}

void SettingsStore::savePageList(IniFile& ini, const PageRecords& pages) {
    const QString section = QString::fromLatin1(Section);
    for (const SettingDefinition& definition : SettingsSchema::all())
        if (definition.kind == SettingKind::PageList)
            ini.setValue(section, definition.key, storedList(pages, columnOf(definition)));
}
