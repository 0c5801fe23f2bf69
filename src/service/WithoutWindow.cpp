#include "service/WithoutWindow.h"

#include "service/CheckOnce.h"
#include "service/CommandLine.h"
#include "service/FolderOwner.h"
#include "service/HeadlessMonitor.h"
#include "service/HistoryCommand.h"
#include "service/MonitorControl.h"
#include "service/PagesCommand.h"
#include "service/ServiceSetup.h"
#include "service/SettingsLocation.h"
#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// The page list's import, leaving the file it wrote to the owner of its folder.
int importPagesKeepingOwner(const CommandLine& commandLine, const QString& settingsFile) {
    if (const int failed = PagesCommand::importPages(settingsFile, commandLine.importPagesFile(),
                                                     commandLine.replacePages()))
        return failed;
    const QString refused = giveToFolderOwner(settingsFile);
    if (refused.isEmpty())
        return 0;
    printLine(stderr,
              QStringLiteral("Korvane: cannot give %1 to its folder's owner: %2").arg(settingsFile, refused));
    return 1;
}

} // namespace

int runWithoutWindow(int argc, char** argv, const CommandLine& commandLine) {
    // The settings' usual place depends on where the program is, which the application knows.
    ExceptionGuard<QCoreApplication> app(argc, argv);
    const QString settingsFile = SettingsLocation::chosen(commandLine.settingsFile());
    if (!commandLine.exportFile().isEmpty())
        return exportHistoryCommand(commandLine, settingsFile);
    if (!commandLine.exportPagesFile().isEmpty())
        return PagesCommand::exportPages(settingsFile, commandLine.exportPagesFile());
    if (!commandLine.importPagesFile().isEmpty())
        return importPagesKeepingOwner(commandLine, settingsFile);
    if (commandLine.asksMonitor())
        return MonitorControl::ask(settingsFile, commandLine.arguments());
    const ServiceOptions service = withCredentials(commandLine.serviceOptions(settingsFile),
                                                   qEnvironmentVariable("CREDENTIALS_DIRECTORY"));
    if (commandLine.headless())
        return runHeadless(app, service);
    if (commandLine.checkOnce())
        return runCheckOnce(app, service);
    printLine(stderr, QStringLiteral("%1 runs Korvane without a window: give --headless, --check-once, "
                                     "--export-history, --export-pages, --import-pages, --pause, --resume or "
                                     "--check-now")
                          .arg(QCoreApplication::applicationName()));
    return CommandLine::UsageError;
}

int handOverWithoutWindow(int argc, char** argv, const CommandLine& commandLine) {
    QByteArray helper;
    QByteArray settingsFile;
    {
        const QCoreApplication app(argc, argv);
        helper = QFile::encodeName(ProgramFolders::helperProgram(
            {QString::fromLatin1(InstalledWithoutWindowProgram), QString::fromLatin1(WithoutWindowProgram)}));
        settingsFile = QFile::encodeName(SettingsLocation::chosen(commandLine.settingsFile()));
    }
    if (!helper.isEmpty()) {
        std::vector<char*> arguments(argv, argv + argc);
        QByteArray settingsOption("--settings");
        if (commandLine.settingsFile().isEmpty()) {
            arguments.push_back(settingsOption.data());
            arguments.push_back(settingsFile.data());
        }
        arguments.push_back(nullptr);
        ::execv(helper.constData(), arguments.data());
        printLine(stderr, QStringLiteral("Korvane: cannot start %1 (%2); running without it")
                              .arg(QFile::decodeName(helper), QString::fromLocal8Bit(std::strerror(errno))));
    }
    return runWithoutWindow(argc, argv, commandLine);
}
