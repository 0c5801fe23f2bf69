#include "service/HistoryCommand.h"

#include "history/HistoryExport.h"
#include "history/HistoryFile.h"
#include "service/CommandLine.h"
#include "service/ServiceSetup.h"

#include <QIODevice>

namespace {
int failed(const QString& reason) {
    printLine(stderr, QStringLiteral("Cannot export the history: ") + reason);
    return 1;
}
} // namespace

int exportHistoryCommand(const CommandLine& commandLine, const QString& settingsFile) {
    const QString history = historyFileFor(settingsFile);
    const ExportRows rows = commandLine.hourly() ? ExportRows::Hourly : ExportRows::Checks;
    if (commandLine.exportFile() == QLatin1String("-")) {
        const QString failure = toStandardOutput(
            [&](QIODevice& out) { return exportHistory(history, out, commandLine.sinceDays(), rows); });
        return failure.isEmpty() ? 0 : failed(failure);
    }
    const QString failure = exportHistoryTo(history, commandLine.exportFile(), commandLine.sinceDays(), rows);
    return failure.isEmpty() ? 0 : failed(failure);
}
