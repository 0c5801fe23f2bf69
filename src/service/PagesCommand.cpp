#include "service/PagesCommand.h"

#include "net/IniFile.h"
#include "pages/MaintenanceFile.h"
#include "pages/PageDependencies.h"
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

QString counted(int count, const char* thing) {
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(thing) +
           (count == 1 ? QString() : QStringLiteral("s"));
}

QString imported(int count, const char* thing, const PageListMerge& merge) {
    return QStringLiteral("Imported %1: %2 updated, %3 added")
        .arg(counted(count, thing))
        .arg(merge.updated)
        .arg(merge.added);
}

// The file's pages with their options and its maintenance windows, as a monitor reads them. A
// settings file that is there but cannot be read gives no pages: the import would write an empty
// list over its own.
QString readPages(const QString& settingsFile, IniFile& ini, PageRecords& pages,
                  QList<MaintenanceWindow>& windows) {
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return settingsFile + QStringLiteral(": ") + file.errorString();
    ini = IniFile::parse(file.readAll());
    SettingsStore::loadPageList(ini, pages);
    QStringList problems = PageOptionsFile::load(ini, pages);
    windows = MaintenanceFile::load(ini, problems);
    for (const QString& problem : problems)
        printLine(stderr, problem);
    return {};
}

// What is wrong with the pages' dependencies in the list as it stands, in one line.
QString dependencyProblems(const PageRecords& pages) {
    QStringList addresses;
    QStringList dependsOn;
    for (int page = 0; page < pages.pageCount(); ++page) {
        addresses.append(pages.url(page));
        dependsOn.append(pages.options(page).dependsOn);
    }
    return PageDependencies(addresses, dependsOn).problems().join(QStringLiteral("; "));
}

} // namespace

int PagesCommand::exportPages(const QString& settingsFile, const QString& target) {
    IniFile ini;
    PageRecords pages;
    QList<MaintenanceWindow> windows;
    if (QString problem = readPages(settingsFile, ini, pages, windows); !problem.isEmpty())
        return refused("export", problem);
    const QByteArray json = PageListFile::json(pages, windows);
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
    QList<MaintenanceWindow> windows;
    // A new settings file gets the page list alone; a monitor started on it adds the rest.
    if (QFile::exists(settingsFile))
        if (QString problem = readPages(settingsFile, ini, pages, windows); !problem.isEmpty())
            return refused("import", problem);
    const PageListMerge merge = mergePageList(pages, parsed.pages, replace);
    const PageListMerge windowsMerge =
        parsed.maintenance ? mergeMaintenance(windows, *parsed.maintenance, replace) : PageListMerge();
    // Only the whole list shows whether a page's parent is in it.
    if (QString problems = dependencyProblems(pages); !problems.isEmpty())
        return refused("import", source + QStringLiteral(", in the page list it would make, ") + problems);
    SettingsStore::savePageList(ini, pages);
    PageOptionsFile::save(ini, pages);
    if (parsed.maintenance)
        MaintenanceFile::save(ini, windows);
    if (!SettingsStore::write(ini, settingsFile, pages))
        return refused("import", QStringLiteral("cannot write ") + settingsFile);
    printLine(stdout, replace
                          ? QStringLiteral("Replaced the page list: ") + counted(pages.pageCount(), "page")
                          : imported(int(parsed.pages.size()), "page", merge));
    if (parsed.maintenance)
        printLine(stdout,
                  replace ? QStringLiteral("Replaced the maintenance windows: ") +
                                counted(int(windows.size()), "window")
                          : imported(int(parsed.maintenance->size()), "maintenance window", windowsMerge));
    return 0;
}
