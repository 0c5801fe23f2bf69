// How the program starts: its options, and one running program per settings file.
#include "app/ProgramStart.h"
#include "service/SingleInstance.h"
#include "support/Headless.h"
#include "support/ProcessSignals.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool listening(const QString& settingsFile) {
    QLocalSocket socket;
    socket.connectToServer(SingleInstance::serverName(settingsFile));
    return socket.waitForConnected(1000);
}

std::unique_ptr<QProcess> startKorvane(const QStringList& arguments) {
    auto korvane = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    korvane->setProcessEnvironment(env);
    korvane->start(KORVANE_PROGRAM, arguments);
    return korvane;
}

// Ends a program the way a logout does, after it has settled enough to save its settings.
bool terminate(QProcess& korvane) {
    if (!QTest::qWaitFor([&] { return catchesSignal(korvane.processId(), SIGTERM); }, 30000))
        return false;
    ::kill(pid_t(korvane.processId()), SIGTERM);
    return korvane.waitForFinished(30000) && korvane.exitCode() == 0;
}

// What a program that crashed leaves behind: a socket file that nobody listens on.
bool leaveStaleSocket(const QString& path) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= sizeof address.sun_path)
        return false;
    qstrcpy(address.sun_path, name.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

} // namespace

class TestProgramStart : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void options_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errorOutput");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--settings <file>"
                              << "";
        QTest::newRow("help names --minimized") << QStringList{"-h"} << 0 << "--minimized"
                                                << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "korvane2.4\n"
                                 << "";
        QTest::newRow("wrong option") << QStringList{"--bogus"} << 2 << ""
                                      << "Unknown option 'bogus'";
        QTest::newRow("settings without file") << QStringList{"--settings"} << 2 << ""
                                               << "Missing value";
        QTest::newRow("replace without import") << QStringList{"--replace"} << 2 << ""
                                                << "--replace needs --import-pages";
        QTest::newRow("stray argument") << QStringList{"stray"} << 2 << ""
                                        << "Unexpected argument: stray";
    }
    // None of these needs a display: the program answers before it opens one.
    void options() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errorOutput);
        QProcess korvane;
        runHeadless(korvane);
        korvane.start(KORVANE_PROGRAM, arguments);
        QVERIFY(korvane.waitForFinished(30000));
        QCOMPARE(korvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(korvane.exitCode(), exitCode);
        const QString out = QString::fromLocal8Bit(korvane.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(korvane.readAllStandardError());
        QVERIFY2(out.contains(output), qPrintable(out));
        QVERIFY2(err.contains(errorOutput), qPrintable(err));
        QCOMPARE(out.isEmpty(), output.isEmpty());
    }

    void secondStartOnOneSettingsFileHandsOver() {
        QTemporaryDir dir, other;
        const QString settings = dir.filePath("KV.ini");
        const auto first = startKorvane({"--settings", settings});
        QTRY_VERIFY_WITH_TIMEOUT(listening(settings), 30000);

        // Another spelling of the same file is the same monitor.
        const auto second = startKorvane({"--minimized", "--settings", dir.path() + "/./KV.ini"});
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        const auto beside = startKorvane({"--settings", other.filePath("KV.ini")});
        QTRY_VERIFY_WITH_TIMEOUT(listening(other.filePath("KV.ini")), 30000);
        QCOMPARE(beside->state(), QProcess::Running);
        QCOMPARE(first->state(), QProcess::Running);

        QVERIFY(terminate(*first));
        QVERIFY(terminate(*beside));
        QVERIFY(QFile::exists(settings));
    }

    void staleSocketDoesNotBlockAStart() {
        QTemporaryDir dir;
        const QString settings = dir.filePath("KV.ini");
        QVERIFY(leaveStaleSocket(QDir(QDir::tempPath()).filePath(SingleInstance::serverName(settings))));
        SingleInstance running(settings);
        QVERIFY(!running.handedOver({"korvane"}));
        QSignalSpy received(&running, &SingleInstance::commandLineReceived);
        SingleInstance later(settings);
        QVERIFY(later.handedOver({"korvane", "--minimized"}));
        QVERIFY(received.wait());
        QCOMPARE(received.first().first().toStringList(), QStringList({"korvane", "--minimized"}));
    }

    void secondStartBringsTheWindowForward_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("shown");
        QTest::newRow("plain") << QStringList{"korvane"} << true;
        QTest::newRow("with its own settings option") << QStringList{"korvane", "--settings", "x"} << true;
        QTest::newRow("minimized") << QStringList{"korvane", "--minimized"} << false;
    }
    void secondStartBringsTheWindowForward() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, shown);
        WindowFixture fixture("[defaults]\nCheckListBoxURL=1http://a.example/,\n");
        TFormMainWindow& w = fixture.start();
        SingleInstance running(fixture.settingsPath());
        QVERIFY(!running.handedOver({"korvane"}));
        connectSecondStarts(running, w);
        w.PageControl1->setCurrentWidget(w.connection.TabSheet6);
        w.showMinimized();
        w.hide();

        QSignalSpy received(&running, &SingleInstance::commandLineReceived);
        QVERIFY(SingleInstance(fixture.settingsPath()).handedOver(arguments));
        QVERIFY(received.wait());
        QCOMPARE(w.isVisible(), shown);
        QCOMPARE(w.isMinimized(), !shown);
        QCOMPARE(w.PageControl1->currentWidget() == w.status.TabSheetStatus, shown);
    }
};

KORVANE_TEST_MAIN(TestProgramStart)
#include "test_program_start.moc"
