#include "pages/MaintenanceFile.h"

#include "net/IniFile.h"
#include "pages/MaintenanceJson.h"
#include "pages/PageAddress.h"

#include <QJsonArray>
#include <QJsonObject>
#include <map>

namespace {

const QString WindowsSection = QString::fromLatin1(MaintenanceFile::Section);
const QString PagesField = QStringLiteral("pages");
const QString EveryField = QStringLiteral("every");
// An address as the file keeps it has its blanks percent-encoded, so a blank parts two.
const QChar PagesSeparator = QLatin1Char(' ');
const QChar DaysSeparator = QLatin1Char(',');

// A window's keys in the file, in the order they are written, and the same fields in a page list
// file: the file's text is read and written as the page list file's is, and gives the same
// answers.
struct WindowField {
    const char* file;
    const char* json;
};
constexpr WindowField WindowFields[] = {
    {"name", "name"},   {"pages", "pages"}, {"start", "start"},       {"end", "end"},
    {"every", "every"}, {"at", "at"},       {"duration", "duration"}, {"time zone", "timeZone"}};

QJsonValue jsonValue(const QString& json, const QString& text) {
    if (json == PagesField && text.compare(QLatin1String("all"), Qt::CaseInsensitive) != 0) {
        QStringList pages;
        for (const QString& page : text.split(PagesSeparator, Qt::SkipEmptyParts))
            pages.append(typedPageAddress(page));
        return QJsonArray::fromStringList(pages);
    }
    if (json == EveryField)
        return QJsonArray::fromStringList(text.split(DaysSeparator, Qt::SkipEmptyParts));
    return text;
}

QString fileText(const QString& json, const QJsonValue& value) {
    if (json == PagesField && value.isArray()) {
        QStringList pages;
        for (const QJsonValue page : value.toArray())
            pages.append(storedPageAddress(page.toString()));
        return pages.join(PagesSeparator);
    }
    if (json == EveryField)
        return value.toVariant().toStringList().join(DaysSeparator);
    // Quoted, so that blanks at either end of a name survive the reading rule.
    if (json == QLatin1String("name"))
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    return value.toString();
}

// A problem as the file names the field.
QString inFileWords(QString problem) {
    for (const auto& [file, json] : WindowFields)
        if (problem.startsWith(QLatin1String(json) + QLatin1Char(':')))
            return problem.replace(0, qsizetype(qstrlen(json)), QLatin1String(file));
    return problem;
}

} // namespace

QList<MaintenanceWindow> MaintenanceFile::load(const IniFile& ini, QStringList& problems) {
    std::map<int, QJsonObject> byNumber; // in the order of their numbers
    for (const QString& key : ini.keys(WindowsSection)) {
        const qsizetype dot = key.indexOf(QLatin1Char('.'));
        bool numbered = false;
        const int number = key.left(dot).toInt(&numbered);
        for (const auto& [file, json] : WindowFields)
            if (numbered && key.mid(dot + 1) == QLatin1String(file))
                byNumber[number].insert(QLatin1String(json),
                                        jsonValue(QLatin1String(json), *ini.value(WindowsSection, key)));
    }
    QList<MaintenanceWindow> windows;
    for (const auto& [number, object] : byNumber) {
        MaintenanceWindow window;
        if (const QString problem = MaintenanceJson::read(object, window); !problem.isEmpty())
            problems.append(QStringLiteral("window ") + QString::number(number) + QStringLiteral(": ") +
                            inFileWords(problem));
        else
            windows.append(window);
    }
    return windows;
}

void MaintenanceFile::save(IniFile& ini, const QList<MaintenanceWindow>& windows) {
    ini.removeSection(WindowsSection);
    for (qsizetype number = 0; number < windows.size(); ++number) {
        const QJsonObject object = MaintenanceJson::write(windows[number]);
        const QString prefix = QString::number(number + 1) + QLatin1Char('.');
        for (const auto& [file, json] : WindowFields)
            if (const QJsonValue value = object.value(QLatin1String(json)); !value.isUndefined())
                ini.setValue(WindowsSection, prefix + QLatin1String(file),
                             fileText(QLatin1String(json), value));
    }
}
