#include "service/PagesCommand.h"

#include "net/IniFile.h"
#include "pages/PageListMerge.h"
#include "pages/PageOptionsFile.h"
#include "pages/PageRecords.h"
#include "service/ServiceSetup.h"
#include "service/SingleInstance.h"
#include "settings/SettingsStore.h"

#include <QFile>
#include <QSaveFile>

namespace {

int refused(const char* command, const QString& reason) {
    printLine(stderr, QStringLiteral("Cannot %1 the pages: %2").arg(QLatin1String(command), reason));
    return 1;
}

QString pagesCount(int count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" page") : QStringLiteral(" pages"));
}

// The file's pages with their options, as a monitor reads them. A settings file that is there but
// cannot be read gives no pages: the import would write an empty list over its own.
QString readPages(const QString& settingsFile, IniFile& ini, PageRecords& pages) {
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return settingsFile + QStringLiteral(": ") + file.errorString();
    ini = IniFile::parse(file.readAll());
    SettingsStore::loadPageList(ini, pages);
    for (const QString& problem : PageOptionsFile::load(ini, pages))
        printLine(stderr, problem);
    return {};
}

} // namespace

int PagesCommand::exportPages(const QString& settingsFile, const QString& target) {
    IniFile ini;
    PageRecords pages;
    if (QString problem = readPages(settingsFile, ini, pages); !problem.isEmpty())
        return refused("export", problem);
    const QByteArray json = PageListFile::json(pages);
    if (target == QLatin1String("-")) {
        const QString failure = toStandardOutput([&json](QIODevice& out) {
            return out.write(json) == json.size() ? QString() : out.errorString();
        });
        return failure.isEmpty() ? 0 : refused("export", failure);
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(json) != json.size() || !out.commit())
        return refused("export", target + QStringLiteral(": ") + out.errorString());
    return 0;
}

int PagesCommand::importPages(const QString& settingsFile, const QString& source, bool replace) {
    if (SingleInstance::runningOn(settingsFile))
        return refused("import", QStringLiteral("a monitor runs on ") + settingsFile +
                                     QStringLiteral("; close it first"));
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return refused("import", source + QStringLiteral(": ") + file.errorString());
    const PageListParse parsed = PageListFile::parse(file.readAll());
    if (!parsed.error.isEmpty())
        return refused("import", source + QStringLiteral(", ") + parsed.error);
    IniFile ini;
    PageRecords pages;
    // A new settings file gets the page list alone; a monitor started on it adds the rest.
    if (QFile::exists(settingsFile))
        if (QString problem = readPages(settingsFile, ini, pages); !problem.isEmpty())
            return refused("import", problem);
    const PageListMerge merge = mergePageList(pages, parsed.pages, replace);
    SettingsStore::savePageList(ini, pages);
    PageOptionsFile::save(ini, pages);
    if (!SettingsStore::write(ini, settingsFile, pages))
        return refused("import", QStringLiteral("cannot write ") + settingsFile);
    const QString done = replace ? QStringLiteral("Replaced the page list: ") + pagesCount(pages.pageCount())
                                 : QStringLiteral("Imported %1: %2 updated, %3 added")
                                       .arg(pagesCount(int(parsed.pages.size())))
                                       .arg(merge.updated)
                                       .arg(merge.added);
    printLine(stdout, done);
    return 0;
}
