// The real program saves its settings when it is told to end by a signal, as on a logout or a
// shutdown, even though nobody closed its window.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

// Whether the process has installed its own handler for the signal yet.
bool catchesSignal(qint64 pid, int signal) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

} // namespace

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
};

QTEST_GUILESS_MAIN(TestProgramEnd)
#include "test_program_end.moc"
