// The real program saves its settings when it is told to end by a signal, as on a logout or a
// shutdown, even though nobody closed its window.
#include "app/ProgramEnd.h"
#include "service/QuitSignalWatcher.h"
#include "check/CheckCycle.h"
#include "support/ProcessSignals.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "support/net/ScriptedPeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

class TestProgramEnd : public QObject {
    Q_OBJECT
private slots:
    void terminationSignalSavesTheSettings_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void terminationSignalSavesTheSettings() {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString program = dir.filePath("korvane");
        QVERIFY(QFile::copy(KORVANE_PROGRAM, program));
        QFile settings(dir.filePath("KV.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(
            "[defaults]\nCheckListBoxURL=1http://a.example/,0http://b.example/,\nEditTimeOut=42\n");
        settings.close();

        QProcess korvane;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        korvane.setProcessEnvironment(env);
        korvane.start(program, {});
        QVERIFY(korvane.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(korvane.processId(), signal), 20000);
        ::kill(pid_t(korvane.processId()), signal);
        QVERIFY(korvane.waitForFinished(20000));
        QCOMPARE(korvane.exitStatus(), QProcess::NormalExit);

        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray saved = settings.readAll();
        QVERIFY2(saved.contains("\nCheckListBoxURL=1http://a.example/,0http://b.example/,\n"),
                 saved.constData());
        QVERIFY(saved.contains("\nEditTimeOut=42\n"));
        QVERIFY(saved.contains("\nCheckBoxSL=1\n"));
    }

    // Last: it asks the application to quit.
    void terminationSignalEndsAWaitingCheckAtOnce() {
        ScriptedPeer silent(
            QJsonObject{{"mode", "http"}, {"routes", QJsonObject{{"*", QJsonObject{{"silent", true}}}}}});
        QVERIFY(silent.start());
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.pages.addPage(silent.url("/hang"), false, false, false);
        QuitSignalWatcher quitSignals;
        connectProgramEnd(*qApp, quitSignals, w);
        QTimer::singleShot(300, [] { ::raise(SIGTERM); });
        w.checkCycle().CheckWebPagesExecute();
        // Far sooner than the page's time-out (20 s) would have ended the check.
        QTRY_VERIFY_WITH_TIMEOUT(
            fixture.settingsText().contains("CheckListBoxURL=1" + silent.url("/hang").toUtf8()), 15000);
    }
};

KORVANE_TEST_MAIN(TestProgramEnd)
#include "test_program_end.moc"
