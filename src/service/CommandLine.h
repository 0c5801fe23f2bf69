#pragma once

#include "service/ServiceSetup.h"

#include <QString>
#include <QStringList>
#include <optional>

// The program's options. They are read before the application object exists, so --help,
// --version and a mistyped option answer even where no display can be opened.
class CommandLine {
public:
    static constexpr const char* VersionTag = "korvane2.4";

    // A wrong option ends the program with this code (QCommandLineParser would use 1, which
    // scripts cannot tell from a failure of the program itself).
    static constexpr int UsageError = 2;

    // The first argument is the program, as in argv.
    explicit CommandLine(const QStringList& arguments);
    static QStringList fromArgv(int argc, char** argv);

    // Set when the program ends right here: --help, --version or a mistake. What it printed
    // goes to standard output or standard error by then.
    std::optional<int> exitCode() const { return exitCode_; }
    // Prints the answer of --help, --version or a mistake and returns the exit code.
    int finish() const;

    const QStringList& arguments() const { return arguments_; }
    bool minimized() const { return minimized_; }
    // The absolute path given with --settings; empty when the usual place applies.
    const QString& settingsFile() const { return settingsFile_; }
    // Where --export-history writes ("-" for standard output); empty when not asked.
    const QString& exportFile() const { return exportFile_; }
    std::optional<int> sinceDays() const { return sinceDays_; }
    // --hourly: export a row for each page and hour.
    bool hourly() const { return hourly_; }
    // --headless: the monitor with no display; --check-once: one check of the pages, reported.
    bool headless() const { return headless_; }
    bool checkOnce() const { return checkOnce_; }
    // --pause (its length in seconds), --resume and --check-now: asked of the monitor that runs on
    // the settings file, which answers; nothing else is done.
    std::optional<qint64> pauseSeconds() const { return pauseSeconds_; }
    bool resumeAlarms() const { return resumeAlarms_; }
    bool checkNow() const { return checkNow_; }
    bool asksMonitor() const;
    // Headless, the one-shot check, the history's export, the page list's export or import, or a
    // request to the running monitor: no window at all.
    bool runsWithoutWindow() const;
    // --secrets, --metrics and --metrics-token-file, with the settings file as given or found.
    ServiceOptions serviceOptions(const QString& settingsFile) const;
    // Where --export-pages writes ("-" for standard output), and what --import-pages reads; empty
    // when not asked.
    const QString& exportPagesFile() const { return exportPagesFile_; }
    const QString& importPagesFile() const { return importPagesFile_; }
    // --replace: the imported pages become the whole page list.
    bool replacePages() const { return replacePages_; }

private:
    QStringList arguments_;
    std::optional<int> exitCode_;
    QString output_;
    QString errorOutput_;
    bool minimized_ = false;
    QString settingsFile_;
    QString exportFile_;
    std::optional<int> sinceDays_;
    bool hourly_ = false;
    bool headless_ = false;
    bool checkOnce_ = false;
    QString secretsFile_;
    QString metricsEndpoint_;
    QString metricsTokenFile_;
    QString exportPagesFile_;
    QString importPagesFile_;
    bool replacePages_ = false;
    std::optional<qint64> pauseSeconds_;
    bool resumeAlarms_ = false;
    bool checkNow_ = false;
};
