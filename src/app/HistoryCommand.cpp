#include "app/HistoryCommand.h"

#include "app/CommandLine.h"
#include "app/SettingsLocation.h"
#include "history/HistoryExport.h"
#include "history/HistoryFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {
int failed(const QString& reason) {
    std::fprintf(stderr, "Cannot export the history: %s\n", qPrintable(reason));
    return 1;
}
} // namespace

int exportHistoryCommand(int argc, char** argv, const CommandLine& commandLine) {
    const QCoreApplication app(argc, argv);
    const QString history = historyFileFor(SettingsLocation::chosen(commandLine.settingsFile()));
    const ExportRows rows = commandLine.hourly() ? ExportRows::Hourly : ExportRows::Checks;
    if (commandLine.exportFile() == QLatin1String("-")) {
        QFile out;
        out.open(stdout, QIODevice::WriteOnly);
        const QString failure = exportHistory(history, out, commandLine.sinceDays(), rows);
        return failure.isEmpty() ? 0 : failed(failure);
    }
    const QString failure = exportHistoryTo(history, commandLine.exportFile(), commandLine.sinceDays(), rows);
    return failure.isEmpty() ? 0 : failed(failure);
}
