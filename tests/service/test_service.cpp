#include "history/HistoryFile.h"
#include "history/HistoryStore.h"
#include "pages/PageStatus.h"
#include "service/CheckOnce.h"
#include "service/FileSecretStore.h"
#include "service/OwnerOnlyFile.h"
#include "service/SingleInstance.h"
#include "support/EngineTestMain.h"
#include "support/RunUntil.h"
#include "support/SettingsFolder.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <csignal>
#include <latch>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The real program, as a scheduler or a service manager runs it.
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run korvane(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVANE_PROGRAM), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray scrape(QNetworkAccessManager& network, quint16 port) {
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/metrics").arg(port)))));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    return finished.wait(10000) ? reply->readAll() : QByteArray();
}

} // namespace

class TestService : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        nginx_.addFile(QStringLiteral("ok.html"), "fine");
        nginx_.addFile("private/index.html", "members");
        QVERIFY(nginx_.addLogin("alice", "s3cret"));
        QVERIFY2(nginx_.start(), qPrintable(nginx_.output()));
        QVERIFY(silent_.start());
    }

    void checkOnceReports_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("secrets"); // a secrets file: its mode, then its text
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("pageLines");
        const QByteArray ok = "1" + nginx_.url(QStringLiteral("/ok.html")).toUtf8() + ",";
        const QByteArray gone = "1" + nginx_.url(QStringLiteral("/gone.html")).toUtf8() + ",";
        const QStringList none;
        QTest::newRow("all well") << "CheckListBoxURL=" + ok << none << 0
                                  << "KORVANE OK - 1 pages, 0 red, 0 yellow | pages=1 red=0 yellow=0 time="
                                  << QStringList{"No Error, \\d+ ms, " + nginx_.url("/ok.html")};
        QTest::newRow("a page gone") << "CheckListBoxURL=" + ok + gone << none << 2
                                     << "KORVANE CRITICAL - 2 pages, 1 red, 0 yellow | pages=2 red=1 yellow=0 time="
                                     << QStringList{"No Error, \\d+ ms, " + nginx_.url("/ok.html"),
                                                    "Page Not Found, \\d+ ms, " + nginx_.url("/gone.html")};
        QTest::newRow("gone counts yellow")
            << "CheckBoxPNFY=1\nCheckBoxPNFR=0\nCheckListBoxURL=" + gone << none << 1
            << "KORVANE WARNING - 1 pages, 0 red, 1 yellow | pages=1 red=0 yellow=1 time="
            << QStringList{"Page Not Found, \\d+ ms, " + nginx_.url("/gone.html")};
        QTest::newRow("network down: nobody could look")
            << "EditNetworkCheck=http://net.invalid/\nCheckListBoxURL=" + gone << none << 3
            << "KORVANE UNKNOWN - network unavailable: http://net.invalid/ | pages=1 red=0 yellow=0 time="
            << QStringList{"Page Not Found, \\d+ ms, " + nginx_.url("/gone.html")};
        QTest::newRow("a bar in an address is no perfdata")
            << "CheckListBoxURL=1" + nginx_.url("/ok.html?a|b").toUtf8() + "," << none << 0
            << "KORVANE OK - 1 pages" << QStringList{"No Error, \\d+ ms, " + nginx_.url("/ok.html\\?a%7Cb")};
        QTest::newRow("a change is no news to a run that keeps nothing")
            << "CheckListBoxURL=" + ok + "\nSizeList=1999," << none << 0 << "KORVANE OK - 1 pages"
            << QStringList{"No Error, \\d+ ms, "};
        // A page's time-out ends it on time, not at the next tick of a clock that counts seconds.
        QTest::newRow("a time-out on time")
            << "EditTimeOut=2\nCheckListBoxURL=1" + silent_.url("/").toUtf8() + "," << none << 2
            << "KORVANE CRITICAL - 1 pages, 1 red" << QStringList{"TimeOut, (20|21)\\d\\d ms, "};
        QTest::newRow("nothing ticked") << "CheckListBoxURL=0" + ok.mid(1) << none << 3
                                        << "KORVANE UNKNOWN - no page is ticked in " << QStringList();
        QTest::newRow("secrets others may read")
            << "CheckListBoxURL=" + ok << QStringList{"644", "mail=x"} << 3
            << "KORVANE UNKNOWN - Secrets file refused: " << QStringList();
        QTest::newRow("secrets of the owner only") << "CheckListBoxURL=" + ok << QStringList{"600", "mail=x"} << 0
                                                   << "KORVANE OK - 1 pages" << QStringList{"No Error, \\d+ ms, "};
    }
    void checkOnceReports() {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, secrets);
        QFETCH(int, exitCode);
        QFETCH(QString, status);
        QFETCH(QStringList, pageLines);
        SettingsFolder folder("[defaults]\n" + settings + "\n");
        QStringList arguments{"--check-once", "--settings", folder.settingsPath()};
        if (!secrets.isEmpty()) {
            QFile file(folder.folder() + "/secrets");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(secrets[1].toUtf8());
            file.close();
            QVERIFY(::chmod(QFile::encodeName(file.fileName()).constData(), secrets[0].toUInt(nullptr, 8)) == 0);
            arguments << "--secrets" << file.fileName();
        }
        const QByteArray before = folder.settingsText();
        const Run run = korvane(arguments);
        QCOMPARE(run.exitCode, exitCode);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty() && lines[0].startsWith(status), qPrintable(run.out + run.err));
        QCOMPARE(lines.size() - 1, pageLines.size());
        for (int line = 0; line < pageLines.size(); ++line)
            QVERIFY2(QRegularExpression('^' + pageLines[line]).match(lines[line + 1]).hasMatch(),
                     qPrintable(lines[line + 1]));
        // A scheduled check leaves no trace: the settings as they were, no history begun.
        QCOMPARE(folder.settingsText(), before);
        QVERIFY(QDir(folder.folder()).entryList({"*.sqlite*"}).isEmpty());
    }

    // A held page reads as held and counts as OK: its people expect it down.
    void checkOnceLineOfAHeldPage_data() {
        QTest::addColumn<QString>("held");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("severity");
        const int red = int(PageStatus::RedAlarm);
        QTest::newRow("red") << "" << red << "Page Not Found, 12 ms, http://a/?x%7Cy" << 2;
        QTest::newRow("red, held") << "maintenance" << red
                                   << "Page Not Found (held: maintenance), 12 ms, http://a/?x%7Cy" << 0;
    }
    void checkOnceLineOfAHeldPage() {
        QFETCH(QString, held);
        QFETCH(int, status);
        CheckRecord check;
        std::tie(check.address, check.outcome, check.ms, check.held) =
            std::tuple("http://a/?x|y", "Page Not Found", 12, held);
        check.mark.status = status;
        QTEST(checkOnceLine(check), "line");
        QTEST(checkOnceSeverity(check), "severity");
    }

    // A write that fails only when the output is flushed must not pass for an export.
    void exportsToAFullDiskFail_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("pages") << "--export-pages";
        QTest::newRow("history") << "--export-history";
    }
    void exportsToAFullDiskFail() {
        QFETCH(QString, command);
        SettingsFolder folder("[defaults]\nCheckListBoxURL=1" + nginx_.url("/ok.html").toUtf8() + ",\n");
        HistoryStore history(historyFileFor(folder.settingsPath()), {});
        history.open();
        history.flush();
        QProcess process;
        process.setStandardOutputFile("/dev/full");
        process.start(QStringLiteral(KORVANE_PROGRAM), {"--settings", folder.settingsPath(), command, "-"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(process.readAllStandardError().contains("No space left on device"), qPrintable(command));
    }

    void checkOnceWithoutSettings() {
        const Run run = korvane({"--check-once", "--settings", QDir::tempPath() + "/korvane-none/KV.ini"});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.out.startsWith("KORVANE UNKNOWN - cannot read the settings file "), qPrintable(run.out));
    }

    void headlessRunsServesAndEndsInOrder() {
        SettingsFolder folder("[defaults]\nCheckListBoxURL=1" + nginx_.url("/ok.html").toUtf8() + ",\n");
        QProcess monitor;
        monitor.start(QStringLiteral(KORVANE_PROGRAM),
                      {"--headless", "--settings", folder.settingsPath(), "--metrics", "127.0.0.1:0"});
        const QRegularExpression served(QStringLiteral("Metrics served on http://127.0.0.1:(\\d+)/metrics"));
        QByteArray out;
        QRegularExpressionMatch port;
        QTRY_VERIFY_WITH_TIMEOUT((out += monitor.readAllStandardOutput(), port = served.match(out)).hasMatch(), 30000);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\[\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\] Korvane Start\n"))
                     .match(out)
                     .hasMatch(),
                 out.constData());

        QNetworkAccessManager network;
        QByteArray metrics;
        QTRY_VERIFY_WITH_TIMEOUT(
            (metrics = scrape(network, port.captured(1).toUShort())).contains("korvane_last_cycle_end_timestamp_seconds "),
            30000);
        QVERIFY2(metrics.contains("probe_success{url=\"" + nginx_.url("/ok.html").toUtf8() + "\"} 1\n"), metrics);

        const Run second = korvane({"--headless", "--settings", folder.settingsPath()});
        QCOMPARE(second.exitCode, 1);
        QVERIFY2(second.err.contains("already runs on " + folder.settingsPath()), qPrintable(second.err));

        ::kill(pid_t(monitor.processId()), SIGTERM);
        QVERIFY(monitor.waitForFinished(2000));
        QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(monitor.exitCode(), 0);
        // Saved on the way out: the keys a first save writes.
        QVERIFY(folder.settingsText().contains("\nEditMetricsAddress=\n"));
        const Run history = korvane({"--settings", folder.settingsPath(), "--export-history", "-"});
        QVERIFY2(history.out.contains(",No Error,"), qPrintable(history.out + history.err));
    }

    // What a later start asks of the running monitor is answered by it; with no monitor on the
    // file, the asker says so.
    void startsAskTheRunningMonitor() {
        // The first cycle waits on this page until its server goes.
        std::optional<ScriptedPeer> held(std::in_place,
                                         ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(held->start());
        SettingsFolder folder("[defaults]\nCheckListBoxURL=1" + held->url("/").toUtf8() + ",\n");
        const QStringList settings{"--settings", folder.settingsPath()};
        QCOMPARE(korvane(QStringList{"--pause", "soon"} + settings).exitCode, 2);
        QProcess monitor;
        monitor.start(QStringLiteral(KORVANE_PROGRAM), QStringList{"--headless"} + settings);
        QTRY_VERIFY_WITH_TIMEOUT(!held->requests().isEmpty(), 30000);
        const QStringList checkNow = QStringList{"--check-now"} + settings;
        QCOMPARE(korvane(checkNow).out, "A check is already running\n");
        const Run paused = korvane(QStringList{"--pause", "30m"} + settings);
        QVERIFY(QRegularExpression("^Alarms paused until [-\\d]{10} \\d\\d:\\d\\d\n$")
                    .match(paused.out)
                    .hasMatch());
        QCOMPARE(korvane(QStringList{"--resume"} + settings).out, "Alarms resumed\n");
        held.reset();
        // Asked again until the cycle is over (an answer that starts one must be the last).
        QString started;
        QVERIFY(QTest::qWaitFor(
            [&] { return (started = korvane(checkNow).out) != "A check is already running\n"; }, 30000));
        QCOMPARE(started, "Check started\n");

        ::kill(pid_t(monitor.processId()), SIGTERM);
        QVERIFY(monitor.waitForFinished(10000));
        QVERIFY2(monitor.readAllStandardOutput().contains("] " + paused.out.toUtf8()),
                 "the monitor logs its pause");
        const Run nobody = korvane(checkNow);
        QCOMPARE(nobody.exitCode, 1);
        QVERIFY2(nobody.err.contains("no Korvane monitor runs on " + folder.settingsPath() + "\n"),
                 qPrintable(nobody.err));
    }

    // A password written into an address, where the only store is a file of secrets, stays in the
    // settings file, for its owner's eyes only, and the page's login works at every start; it is
    // never printed.
    void headlessKeepsAPasswordNoStoreHolds() {
        const QString typed = nginx_.url("private/").replace("http://", "http://alice:s3cret@");
        SettingsFolder folder("[defaults]\nCheckBoxNEL=1\nCheckListBoxURL=1" + typed.toUtf8() +
                              ",\n[page options]\n1.address=" + typed.toUtf8() +
                              "\n1.allow login over plain http=1\n");
        const QString secrets = folder.folder() + "/secrets";
        QVERIFY(QProcess::execute("sh", {"-ec", "echo mail=x >" + secrets + "; chmod 600 " + secrets}) == 0);
        const EndedRun run = runUntil(
            {KORVANE_PROGRAM, "--headless", "--settings", folder.settingsPath(), "--secrets", secrets},
            "Checked Sucessfully: ");
        QVERIFY2(run.out.contains("Page passwords stay in " + folder.settingsPath().toUtf8()) &&
                     !run.out.contains("s3cret"),
                 run.out.constData());
        QVERIFY(folder.settingsText().contains(typed.toUtf8()));
        QCOMPARE(QFile::permissions(folder.settingsPath()) & (QFile::ReadGroup | QFile::ReadOther), 0);
        const Run again =
            korvane({"--check-once", "--settings", folder.settingsPath(), "--secrets", secrets});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(!again.out.contains("s3cret"));
    }

    // A history that was read-only for a run, and is made writable again, is used at the next start;
    // the checks the read-only run could not write are counted as it ends. Run as another user
    // than root, to whom no file is read-only.
    void historyWritableAgainIsUsed() {
        SettingsFolder folder("[defaults]\nCheckListBoxURL=1http://127.0.0.1:" +
                              QByteArray::number(PeerProcess::freePort()) + "/,\n");
        const QString history = historyFileFor(folder.settingsPath());
        const bool root = ::geteuid() == 0;
        QVERIFY(!root || QProcess::execute("chown", {"-R", "nobody", folder.folder()}) == 0);
        const QStringList command =
            QStringList(root ? QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"}
                             : QStringList()) +
            QStringList{KORVANE_PROGRAM, "--headless", "--settings", folder.settingsPath()};
        QVERIFY(!runUntil(command, "Connection failed: ").out.contains("History not kept"));
        QVERIFY(QFile::setPermissions(history, QFile::ReadOwner));
        const QByteArray readOnly = runUntil(command, "Connection failed: ").out;
        QVERIFY2(readOnly.contains("History not kept: 1 checks could not be written\n"),
                 readOnly.constData());
        QVERIFY(QFile::setPermissions(history, QFile::ReadOwner | QFile::WriteOwner));
        const QByteArray writable = runUntil(command, "Connection failed: ").out;
        QVERIFY2(!writable.contains("History not kept"), writable.constData());
    }

    // What the start says of a settings file that leaves it little to do: no page ticked, and a
    // token missing where a service takes one (Gotify), but not where it takes none (a webhook).
    void headlessSaysWhatItLacks() {
        SettingsFolder folder("[defaults]\nCheckListBoxURL=0" + nginx_.url("/ok.html").toUtf8() +
                              ",\nEditChatAddress1=http://127.0.0.1:9/hook\nComboChatService2=Gotify\n"
                              "EditChatAddress2=http://127.0.0.1:9/\n");
        const QString secrets = folder.folder() + "/secrets";
        QVERIFY(QProcess::execute("sh", {"-ec", "echo mail=x >" + secrets + "; chmod 600 " + secrets}) == 0);
        const EndedRun run =
            runUntil({KORVANE_PROGRAM, "--headless", "--settings", folder.settingsPath(), "--secrets", secrets},
                     "Secret not available, going on without it: chat #2\n");
        QVERIFY(run.out.contains("No page is ticked in " + folder.settingsPath().toUtf8() + ": nothing to check\n"));
        QVERIFY2(!run.out.contains("chat #1"), run.out.constData());
    }

    void headlessRefusesAnOpenAddressWithoutToken() {
        SettingsFolder folder("[defaults]\nEditMetricsAddress=0.0.0.0:0\n");
        const Run run = korvane({"--headless", "--settings", folder.settingsPath()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.out.contains("Metrics not served: 0.0.0.0 is not a loopback address: serving metrics there "
                             "needs a metrics token"),
            qPrintable(run.out));
    }

    void secretFileRefusals_data() {
        QTest::addColumn<QString>("make");    // a shell command making the file %1
        QTest::addColumn<bool>("credential"); // in the folder $CREDENTIALS_DIRECTORY names
        QTest::addColumn<QString>("refusal"); // %1: the file; empty: read
        QTest::newRow("others may read") << "echo x >%1; chmod 604 %1" << false
                                         << "%1 may be read or changed by others than its owner; allow its "
                                            "owner only (chmod 600 %1)";
        QTest::newRow("credential too large") << "head -c 65537 /dev/zero >%1" << true
                                              << "%1 is larger than 64 KiB, too large for a file of secrets";
        QTest::newRow("named pipe") << "mkfifo %1" << false << "%1 is a named pipe, not a regular file";
        QTest::newRow("another owner")
            << "echo x >%1; chmod 600 %1; chown nobody %1" << false
            << "%1 belongs to nobody, not to root who runs Korvane; give it to root "
               "(chown root %1)";
        QTest::newRow("credential, anyone's") << "echo x >%1; chmod 644 %1; chown nobody %1" << true << "";
    }
    void secretFileRefusals() {
        QFETCH(QString, make);
        QFETCH(bool, credential);
        QFETCH(QString, refusal);
        if (make.contains("chown") && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QTemporaryDir dir;
        const QString path = dir.filePath("secrets");
        QCOMPARE(QProcess::execute("sh", {"-ec", make.arg(path)}), 0);
        qputenv("CREDENTIALS_DIRECTORY", credential ? QFile::encodeName(dir.path()) : "/nowhere");
        const auto read = readOwnerOnlyFile(path);
        QCOMPARE(std::get_if<QString>(&read) ? std::get<QString>(read) : QString(),
                 refusal.replace("%1", path));
    }

    void secretsLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("secrets");
        const QString a = "page https://u@shop.example/?a";
        const QString ab = a + "=b";
        QTest::newRow("passwords with =, blanks, comments, line ends")
            << "# mail=old\r\n\r\n  mail = pa=ss\r\nchat #1=x\nchat #1=y"
            << QStringList{"mail", "chat #1", "metrics"} << QStringList{" pa=ss", "y", ""};
        QTest::newRow("an address with =") << ab + "=pw" << QStringList{ab} << QStringList{"pw"};
        QTest::newRow("one address the start of another")
            << ab + "=pw2\n" + a + "=pw1" << QStringList{a, ab} << QStringList{"pw1", "pw2"};
    }
    void secretsLines() {
        QFETCH(QString, text);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, secrets);
        FileSecretStore store(std::get<QStringList>(FileSecretStore::parse(text.toUtf8())), "/srv/KV.ini");
        QStringList answers;
        for (const QString& name : asked)
            store.read(name, [&answers](bool, const QString& secret) { answers.append(secret); });
        QTRY_COMPARE(answers, secrets);
    }

    // Two starts at once on the socket of a program that crashed: one runs, the other finds it running.
    void racingStartsOnAStaleSocket() {
        QTemporaryDir dir;
        QStringList sockets;
        for (int round = 0; round < 100; ++round)
            sockets << SingleInstance::serverName(dir.filePath(QString("KV%1.ini").arg(round)));
        // What programs that crashed leave behind: socket files nobody listens on.
        const QString bind =
            "import socket, sys\nfor path in sys.argv[1:]: socket.socket(socket.AF_UNIX).bind(path)";
        QCOMPARE(QProcess::execute("python3", QStringList{"-c", bind} + sockets), 0);
        for (int round = 0; round < 100; ++round) {
            std::latch ready(2), claimed(2);
            std::atomic<int> running = 0;
            const auto start = [&] {
                SingleInstance instance(dir.filePath(QString("KV%1.ini").arg(round)));
                ready.arrive_and_wait();
                running += instance.claim() ? 1 : 0;
                claimed.arrive_and_wait(); // the one running runs on until both have claimed
            };
            std::unique_ptr<QThread> first(QThread::create(start)), second(QThread::create(start));
            first->start();
            second->start();
            QVERIFY(first->wait(60000) && second->wait(60000));
            QCOMPARE(running.load(), 1);
        }
        // Out of other users' reach.
        struct stat folder {};
        QVERIFY(::stat(QFile::encodeName(QFileInfo(sockets[0]).path()), &folder) == 0);
        QVERIFY(folder.st_uid == ::geteuid() && (folder.st_mode & 077) == 0);
    }

private:
    NginxPeer nginx_;
    ScriptedPeer silent_{ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}})};
};

KORVANE_ENGINE_TEST_MAIN(TestService)
#include "test_service.moc"
