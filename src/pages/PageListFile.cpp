#include "pages/PageListFile.h"

#include "net/AddressLogin.h"
#include "pages/MaintenanceJson.h"
#include "pages/PageAddress.h"
#include "pages/PageListMerge.h"
#include "pages/PageOptionsCheck.h"
#include "pages/PageOptionsJson.h"
#include "pages/PageRecords.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

const QString PagesKey = QStringLiteral("pages");
const QString AddressKey = QStringLiteral("address");
const QString TickedKey = QStringLiteral("ticked");
const QString OptionsKey = QStringLiteral("options");
const QString MaintenanceKey = QStringLiteral("maintenance");

PageListParse refusal(const QString& place, const QString& problem) {
    PageListParse refused;
    refused.error = place + QStringLiteral(": ") + problem;
    return refused;
}

QString unknownKey(const QJsonObject& object, std::initializer_list<QString> known) {
    for (const QString& key : object.keys())
        if (std::find(known.begin(), known.end(), key) == known.end())
            return QStringLiteral("unknown key \"") + key + QLatin1Char('"');
    return {};
}

// One page of a JSON file into entry; what is wrong with it, or empty.
QString readPage(const QJsonValue& value, PageListEntry& entry) {
    if (!value.isObject())
        return QStringLiteral("not an object with an \"address\"");
    const QJsonObject page = value.toObject();
    if (QString unknown = unknownKey(page, {AddressKey, TickedKey, OptionsKey}); !unknown.isEmpty())
        return unknown;
    const QJsonValue address = page.value(AddressKey);
    if (!address.isUndefined() && !address.isString())
        return QStringLiteral("\"address\" is not a text");
    entry.address = storablePageAddress(address.toString().trimmed());
    if (entry.address.isEmpty())
        return QStringLiteral("no address");
    if (QString problem = PageOptionsCheck::address(entry.address); !problem.isEmpty())
        return problem;
    if (const QJsonValue ticked = page.value(TickedKey); !ticked.isUndefined()) {
        if (!ticked.isBool())
            return QStringLiteral("\"ticked\" is not true or false");
        entry.ticked = ticked.toBool();
    }
    const QJsonValue options = page.value(OptionsKey);
    if (!options.isUndefined() && !options.isObject())
        return QStringLiteral("\"options\" is not an object");
    entry.options.emplace();
    return PageOptionsJson::read(options.toObject(), *entry.options);
}

// Where a JSON reader stopped, as an editor counts it.
QString lineAndColumn(const QByteArray& bytes, int offset) {
    const QByteArray before = bytes.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("line %1, column %2").arg(before.count('\n') + 1).arg(offset - lineStart + 1);
}

// A page named twice would be merged into itself; letter case and a password make no other page.
PageListParse withoutRepeats(QList<PageListEntry> pages, const QStringList& places) {
    QHash<QString, int> first;
    for (int page = 0; page < pages.size(); ++page) {
        const QString address = pageIdentity(pages[page].address);
        if (const auto seen = first.constFind(address); seen != first.constEnd())
            return refusal(places[page], QStringLiteral("the same address as ") + places[*seen]);
        first.insert(address, page);
    }
    PageListParse parsed;
    parsed.pages = std::move(pages);
    return parsed;
}

// The file's windows, each named once, into windows; what is wrong with them and where, or empty.
QString readWindows(const QJsonValue& value, QList<MaintenanceWindow>& windows, QString& place) {
    place = QStringLiteral("top level");
    if (!value.isArray())
        return QStringLiteral("\"maintenance\" is not a list");
    const QJsonArray list = value.toArray();
    QHash<QString, int> names;
    for (int number = 1; number <= list.size(); ++number) {
        place = QStringLiteral("window ") + QString::number(number);
        MaintenanceWindow window;
        if (!list[number - 1].isObject())
            return QStringLiteral("not an object with a \"name\"");
        if (QString problem = MaintenanceJson::read(list[number - 1].toObject(), window); !problem.isEmpty())
            return problem;
        // The name is what an import finds a window by.
        if (const int first = names.value(window.name); first > 0)
            return QStringLiteral("the same name as window ") + QString::number(first);
        names.insert(window.name, number);
        windows.append(window);
    }
    return {};
}

PageListParse parseJson(const QByteArray& bytes) {
    QJsonParseError syntax;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &syntax);
    if (syntax.error != QJsonParseError::NoError)
        return refusal(lineAndColumn(bytes, syntax.offset), syntax.errorString());
    const QJsonObject top = document.object();
    if (QString unknown = unknownKey(top, {PagesKey, MaintenanceKey}); !unknown.isEmpty())
        return refusal(QStringLiteral("top level"), unknown);
    if (!top.value(PagesKey).isArray())
        return refusal(QStringLiteral("top level"), QStringLiteral("no \"pages\" list"));
    const QJsonArray list = top.value(PagesKey).toArray();
    QList<PageListEntry> pages(list.size());
    QStringList places;
    for (int page = 0; page < list.size(); ++page) {
        places.append(QStringLiteral("page ") + QString::number(page + 1));
        if (QString problem = readPage(list[page], pages[page]); !problem.isEmpty())
            return refusal(places.back(), problem);
    }
    PageListParse parsed = withoutRepeats(std::move(pages), places);
    if (parsed.error.isEmpty() && top.contains(MaintenanceKey)) {
        QString place;
        const QString problem = readWindows(top.value(MaintenanceKey), parsed.maintenance.emplace(), place);
        if (!problem.isEmpty())
            return refusal(place, problem);
    }
    return parsed;
}

PageListParse parsePlain(const QByteArray& bytes) {
    QList<PageListEntry> pages;
    QStringList places;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int line = 0; line < lines.size(); ++line) {
        const QString address = storablePageAddress(QString::fromUtf8(lines[line]).trimmed());
        if (address.isEmpty() || address.startsWith(QLatin1Char('#')))
            continue;
        places.append(QStringLiteral("line ") + QString::number(line + 1));
        if (QString problem = PageOptionsCheck::address(address); !problem.isEmpty())
            return refusal(places.back(), problem);
        pages.append({address, {}, {}});
    }
    return withoutRepeats(std::move(pages), places);
}

} // namespace

QByteArray PageListFile::json(const PageRecords& pages, const QList<MaintenanceWindow>& maintenance) {
    QJsonArray list;
    for (int page = 0; page < pages.pageCount(); ++page) {
        QJsonObject entry{{AddressKey, splitLogin(pages.url(page)).address},
                          {TickedKey, pages.isIncluded(page)}};
        if (const QJsonObject options = PageOptionsJson::write(pages.options(page)); !options.isEmpty())
            entry.insert(OptionsKey, options);
        list.append(entry);
    }
    QJsonObject top{{PagesKey, list}};
    if (!maintenance.isEmpty()) {
        QJsonArray windows;
        for (const MaintenanceWindow& window : maintenance)
            windows.append(MaintenanceJson::write(window));
        top.insert(MaintenanceKey, windows);
    }
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

PageListParse PageListFile::parse(const QByteArray& file) {
    // Editors on some systems start a UTF-8 file with a byte order mark; it is no part of the text.
    const QByteArray bytes = file.startsWith("\xEF\xBB\xBF") ? file.mid(3) : file;
    const QByteArray start = bytes.trimmed();
    return start.startsWith('{') ? parseJson(bytes) : parsePlain(bytes);
}
