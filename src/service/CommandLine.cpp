#include "service/CommandLine.h"

#include "pages/Duration.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace {

const QString MinimizedOption = QStringLiteral("minimized");
const QString SettingsOption = QStringLiteral("settings");
const QString ExportOption = QStringLiteral("export-history");
const QString SinceOption = QStringLiteral("since");
const QString HourlyOption = QStringLiteral("hourly");
const QString HeadlessOption = QStringLiteral("headless");
const QString CheckOnceOption = QStringLiteral("check-once");
const QString SecretsOption = QStringLiteral("secrets");
const QString MetricsOption = QStringLiteral("metrics");
const QString MetricsTokenOption = QStringLiteral("metrics-token-file");

const QString ExportPagesOption = QStringLiteral("export-pages");
const QString ImportPagesOption = QStringLiteral("import-pages");
const QString ReplaceOption = QStringLiteral("replace");

const QString PauseOption = QStringLiteral("pause");
const QString ResumeOption = QStringLiteral("resume");
const QString CheckNowOption = QStringLiteral("check-now");
const QStringList MonitorRequests{PauseOption, ResumeOption, CheckNowOption};

// The options that each run instead of the monitor with its window.
int commandsGiven(const QCommandLineParser& parser) {
    int given = 0;
    for (const QString& command :
         QStringList{ExportOption, ExportPagesOption, ImportPagesOption, HeadlessOption, CheckOnceOption} +
             MonitorRequests)
        given += int(parser.isSet(command));
    return given;
}

bool monitorAsked(const QCommandLineParser& parser) {
    return std::any_of(MonitorRequests.cbegin(), MonitorRequests.cend(),
                       [&parser](const QString& request) { return parser.isSet(request); });
}

// Why the options given cannot go together; empty when they can.
QString clash(const QCommandLineParser& parser) {
    if (commandsGiven(parser) > 1)
        return QStringLiteral("Give one of --export-history, --export-pages, --import-pages, --headless, "
                              "--check-once, --pause, --resume and --check-now");
    // What the running monitor is asked is all the request there is: another option would be
    // dropped without a word.
    if (monitorAsked(parser))
        for (const QString& option : parser.optionNames())
            if (option != SettingsOption && !MonitorRequests.contains(option))
                return QStringLiteral("--pause, --resume and --check-now take no option but --settings");
    if (parser.isSet(ReplaceOption) && !parser.isSet(ImportPagesOption))
        return QStringLiteral("--replace needs --import-pages");
    if (parser.isSet(SecretsOption) && !parser.isSet(HeadlessOption) && !parser.isSet(CheckOnceOption))
        return QStringLiteral("--secrets needs --headless or --check-once");
    if ((parser.isSet(MetricsOption) || parser.isSet(MetricsTokenOption)) && parser.isSet(CheckOnceOption))
        return QStringLiteral("--check-once serves no metrics");
    if (parser.isSet(MetricsTokenOption) && !parser.isSet(MetricsOption))
        return QStringLiteral("--metrics-token-file needs --metrics");
    return {};
}

void print(FILE* stream, const QString& text) {
    if (text.isEmpty())
        return;
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::CommandLine(const QStringList& arguments) : arguments_(arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Watches the health of web servers and of their pages."));
    // Not addHelpOption(): its --help-all lists options of the toolkit this program does not take.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Displays help on the options."));
    parser.addOption(helpOption);
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addOption(
        {MinimizedOption, QStringLiteral("Start hidden in the tray (minimised where there is no tray).")});
    parser.addOption({SettingsOption, QStringLiteral("Use <file> as the settings file instead of KV.ini."),
                      QStringLiteral("file")});
    parser.addOption({ExportOption,
                      QStringLiteral("Write the kept history of the checks to <file> as CSV (\"-\": standard "
                                     "output), without opening the window."),
                      QStringLiteral("file")});
    parser.addOption({SinceOption,
                      QStringLiteral("With --export-history: only the checks of the last <days> days."),
                      QStringLiteral("days")});
    parser.addOption(
        {HourlyOption, QStringLiteral("With --export-history: a row for each page and hour instead of "
                                      "every check.")});
    parser.addOption(
        {ExportPagesOption,
         QStringLiteral("Write the page list with each page's tick and options to <file> as JSON "
                        "(\"-\": standard output), without opening the window."),
         QStringLiteral("file")});
    parser.addOption({ImportPagesOption,
                      QStringLiteral("Take the pages of <file> (JSON as --export-pages writes it, or one "
                                     "address a line) into the page list, without opening the window."),
                      QStringLiteral("file")});
    parser.addOption(
        {ReplaceOption, QStringLiteral("With --import-pages: make the page list the file's pages.")});

    parser.addOption(
        {HeadlessOption, QStringLiteral("Run the monitor without a display, window or session bus; "
                                        "each log line goes to standard output.")});
    parser.addOption(
        {CheckOnceOption, QStringLiteral("Check the ticked pages once and report as a monitoring plugin "
                                         "does (exit 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN); "
                                         "changes no file.")});
    parser.addOption(
        {SecretsOption,
         QStringLiteral("With --headless or --check-once: read the secrets from <file> of name=value "
                        "lines, readable by its owner only."),
         QStringLiteral("file")});
    parser.addOption(
        {MetricsOption,
         QStringLiteral("Serve Prometheus metrics at http://<address:port>/metrics instead of where the "
                        "settings say."),
         QStringLiteral("address:port")});
    parser.addOption(
        {MetricsTokenOption,
         QStringLiteral("With --metrics: a scrape must send the token in <file> (readable by its owner "
                        "only) as a bearer token."),
         QStringLiteral("file")});

    parser.addOption(
        {PauseOption,
         QStringLiteral("Pause the alarms of the monitor running on the settings file for <duration> "
                        "(30m, 2h, 1d); its pages are still checked."),
         QStringLiteral("duration")});
    parser.addOption({ResumeOption, QStringLiteral("Resume the alarms of the monitor running on the settings "
                                                   "file.")});
    parser.addOption({CheckNowOption,
                      QStringLiteral("Have the monitor running on the settings file check its pages now.")});

    if (!parser.parse(arguments)) {
        errorOutput_ = parser.errorText() + QStringLiteral("\nTry --help for the options.\n");
        exitCode_ = UsageError;
    } else if (!parser.positionalArguments().isEmpty()) {
        errorOutput_ = QStringLiteral("Unexpected argument: %1\nTry --help for the options.\n")
                           .arg(parser.positionalArguments().constFirst());
        exitCode_ = UsageError;
    } else if (parser.isSet(helpOption)) {
        // Without an application object the parser does not know the program's name.
        output_ = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                            QFileInfo(arguments.value(0)).fileName());
        exitCode_ = 0;
    } else if (parser.isSet(versionOption)) {
        output_ = QString::fromLatin1(VersionTag) + QLatin1Char('\n');
        exitCode_ = 0;
    } else if (const QString wrong = clash(parser); !wrong.isEmpty()) {
        errorOutput_ = wrong + QStringLiteral("\nTry --help for the options.\n");
        exitCode_ = UsageError;
    } else if (parser.isSet(HourlyOption) && !parser.isSet(ExportOption)) {
        errorOutput_ = QStringLiteral("--hourly needs --export-history\nTry --help for the options.\n");
        exitCode_ = UsageError;
    } else if (parser.isSet(SinceOption)) {
        bool number = false;
        sinceDays_ = parser.value(SinceOption).toInt(&number);
        if (!number || *sinceDays_ < 0 || !parser.isSet(ExportOption)) {
            errorOutput_ =
                QStringLiteral("--since needs --export-history and a number of days\nTry --help for the "
                               "options.\n");
            exitCode_ = UsageError;
        }
    } else if (parser.isSet(PauseOption)) {
        pauseSeconds_ = Duration::parseSeconds(parser.value(PauseOption));
        if (!pauseSeconds_) {
            errorOutput_ =
                QStringLiteral("--pause needs a length of time such as 30m, 2h or 1d, not \"%1\"\nTry "
                               "--help for the options.\n")
                    .arg(parser.value(PauseOption));
            exitCode_ = UsageError;
        }
    }
    if (parser.isSet(ExportOption))
        exportFile_ = parser.value(ExportOption);
    hourly_ = parser.isSet(HourlyOption);
    exportPagesFile_ = parser.value(ExportPagesOption);
    importPagesFile_ = parser.value(ImportPagesOption);
    replacePages_ = parser.isSet(ReplaceOption);
    minimized_ = parser.isSet(MinimizedOption);
    headless_ = parser.isSet(HeadlessOption);
    checkOnce_ = parser.isSet(CheckOnceOption);
    secretsFile_ = parser.value(SecretsOption);
    metricsEndpoint_ = parser.value(MetricsOption);
    metricsTokenFile_ = parser.value(MetricsTokenOption);
    resumeAlarms_ = parser.isSet(ResumeOption);
    checkNow_ = parser.isSet(CheckNowOption);
    if (parser.isSet(SettingsOption))
        settingsFile_ = QFileInfo(parser.value(SettingsOption)).absoluteFilePath();
}

bool CommandLine::runsWithoutWindow() const {
    return headless_ || checkOnce_ || !exportFile_.isEmpty() || !exportPagesFile_.isEmpty() ||
           !importPagesFile_.isEmpty() || asksMonitor();
}

bool CommandLine::asksMonitor() const {
    return pauseSeconds_ || resumeAlarms_ || checkNow_;
}

ServiceOptions CommandLine::serviceOptions(const QString& settingsFile) const {
    return {settingsFile, secretsFile_, metricsEndpoint_, metricsTokenFile_};
}

QStringList CommandLine::fromArgv(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int CommandLine::finish() const {
    print(stdout, output_);
    print(stderr, errorOutput_);
    return exitCode_.value_or(0);
}
