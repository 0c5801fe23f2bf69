#include "pages/PageOptionsFile.h"

#include "net/IniFile.h"
#include "pages/PageAddress.h"
#include "pages/PageOptions.h"
#include "pages/PageOptionsCheck.h"
#include "pages/PageRecords.h"

#include <QHash>
#include <QMap>
#include <map>

namespace {

const QString SectionName = QString::fromLatin1(PageOptionsFile::Section);
const QString HeaderKey = QStringLiteral("header ");
const QString ConditionKey = QStringLiteral("condition ");

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Quoted, so that blanks at either end of a text survive the reading rule.
QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The option values of one page, by their key without the page's number.
using Values = QMap<QString, QString>;

// The lines kept as "N.header 1", "N.header 2", ..., in the order of their numbers.
QStringList numbered(const Values& values, const QString& key) {
    std::map<int, QString> lines;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        if (it.key().startsWith(key))
            lines[it.key().mid(key.size()).toInt()] = it.value();
    QStringList ordered;
    for (const auto& [number, line] : lines)
        ordered.append(line);
    return ordered;
}

PageOptions optionsFrom(const Values& values) {
    const PageOptions defaults;
    const auto text = [&](const char* key) { return values.value(QLatin1String(key)); };
    const auto on = [&](const char* key, bool fallback) {
        const auto found = values.constFind(QLatin1String(key));
        return found == values.constEnd() ? fallback : *found == QLatin1String("1");
    };
    PageOptions options;
    options.get = text("method").compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0;
    options.mustContain = text("must contain");
    options.mustNotContain = text("must not contain");
    options.regularExpression = on("regular expression", defaults.regularExpression);
    options.matchCase = on("match case", defaults.matchCase);
    options.user = text("user");
    options.plainLogin = on("allow login over plain http", defaults.plainLogin);
    options.headers = numbered(values, HeaderKey);
    options.acceptedCodes = text("accepted status codes");
    options.timeOut = text("time-out");
    options.slowAfter = text("slow after");
    options.dependsOn = typedPageAddress(text("depends on"));
    options.send = text("send");
    options.expect = text("expect");
    options.conditions = numbered(values, ConditionKey);
    return options;
}

} // namespace

QStringList PageOptionsFile::load(const IniFile& ini, PageRecords& pages) {
    QMap<QString, Values> byNumber;
    for (const QString& key : ini.keys(SectionName)) {
        const qsizetype dot = key.indexOf(QLatin1Char('.'));
        if (dot > 0)
            byNumber[key.left(dot)][key.mid(dot + 1)] = ini.value(SectionName, key).value_or(QString());
    }
    pages.resetOptions();
    QHash<QString, int> positions;
    for (int page = pages.pageCount() - 1; page >= 0; --page)
        positions.insert(pages.url(page), page);
    QStringList problems;
    for (const Values& values : byNumber) {
        const QString address = typedPageAddress(values.value(QStringLiteral("address")));
        const int page = positions.value(address, -1);
        if (page < 0)
            continue; // the page left the list by hand; its options go with it
        QStringList dropped;
        pages.setOptions(page, PageOptionsCheck::rightValues(optionsFrom(values), dropped));
        for (const QString& reason : dropped)
            problems.append(QStringLiteral("Page options of ") + address + QStringLiteral(" left out, ") +
                            reason);
    }
    return problems;
}

void PageOptionsFile::save(IniFile& ini, const PageRecords& pages) {
    ini.removeSection(SectionName);
    const PageOptions defaults;
    for (int page = 0; page < pages.pageCount(); ++page) {
        PageOptions options = pages.options(page);
        options.password.clear();
        if (options == defaults)
            continue;
        const QString prefix = QString::number(page + 1) + QLatin1Char('.');
        const auto write = [&](const QString& key, const QString& value) {
            ini.setValue(SectionName, prefix + key, value);
        };
        // As the page list keeps it, which is how the options find their page again.
        write(QStringLiteral("address"), storedPageAddress(pages.storedAddress(page)));
        write(QStringLiteral("method"), options.get ? QStringLiteral("GET") : QStringLiteral("HEAD"));
        write(QStringLiteral("must contain"), quoted(options.mustContain));
        write(QStringLiteral("must not contain"), quoted(options.mustNotContain));
        write(QStringLiteral("regular expression"), flag(options.regularExpression));
        write(QStringLiteral("match case"), flag(options.matchCase));
        write(QStringLiteral("user"), quoted(options.user));
        write(QStringLiteral("allow login over plain http"), flag(options.plainLogin));
        const auto writeLines = [&](const QString& key, const QStringList& lines) {
            for (int line = 0; line < lines.size(); ++line)
                write(key + QString::number(line + 1), quoted(lines[line]));
        };
        writeLines(HeaderKey, options.headers);
        write(QStringLiteral("accepted status codes"), options.acceptedCodes);
        write(QStringLiteral("time-out"), options.timeOut);
        write(QStringLiteral("slow after"), options.slowAfter);
        // Only where it is set: the options of a page without it are written as they always were.
        if (!options.dependsOn.isEmpty())
            write(QStringLiteral("depends on"), storedPageAddress(options.dependsOn));
        if (!options.send.isEmpty())
            write(QStringLiteral("send"), quoted(options.send));
        if (!options.expect.isEmpty())
            write(QStringLiteral("expect"), quoted(options.expect));
        writeLines(ConditionKey, options.conditions);
    }
}
