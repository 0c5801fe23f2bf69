// The real program on a real X server with a window manager, closed the way the desktop closes
// it, at the moments a user does: each single close request ends it, with its settings saved.
// The desktop's keyring is locked, so the secret service takes every call and answers none.
#include "support/desktop/PrivateSessionBus.h"
#include "support/desktop/XvfbDesktop.h"
#include "support/net/ScriptedPeer.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Rounds = 20;
#ifdef KORVANE_SANITIZED
// The sanitizers slow the program, and the web engine's end most of all, many times over.
constexpr int ExitLimitMs = 20000;
#else
constexpr int ExitLimitMs = 2000;
#endif
constexpr int ShowLimitMs = 60000;

// The update check's root file, a page that reports when it has been drawn, and pages that
// never answer.
QJsonObject peerScript() {
    return {
        {"mode", "http"},
        {"routes",
         QJsonObject{
             {"/root.txt", QJsonObject{{"send", "HTTP/1.0 200 OK\r\n\r\n[Updates]\r\nlast=korvane9.9\r\n"}}},
             {"/page.html", QJsonObject{{"send", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
                                                 "<html><body onload=\"fetch('/loaded')\">"
                                                 "A page</body></html>"}}},
             {"*", QJsonObject{{"silent", true}}}}}};
}

bool requested(ScriptedPeer& peer, const QByteArray& requestLine) {
    const QList<QByteArray> requests = peer.requests();
    return std::any_of(requests.begin(), requests.end(),
                       [&](const QByteArray& request) { return request.startsWith(requestLine); });
}

} // namespace

class TestWindowClose : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(desktop_.running(), "Xvfb and openbox did not start");
        QVERIFY(bus_.start());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus_.address());
        keyring_.setProcessEnvironment(env);
        keyring_.start(KORVANE_SILENT_SECRET_SERVICE, {});
        QVERIFY(keyring_.waitForReadyRead(20000) && keyring_.readLine().startsWith("READY"));
    }
    void cleanupTestCase() {
        keyring_.kill();
        keyring_.waitForFinished();
    }

    void closeRequestEndsTheProgram_data() {
        QTest::addColumn<QString>("moment");
        for (const char* moment : {"start", "idle", "check", "browse", "question"})
            QTest::newRow(moment) << moment;
    }
    void closeRequestEndsTheProgram() {
        QFETCH(QString, moment);
        for (int round = 0; round < Rounds && !QTest::currentTestFailed(); ++round)
            closeOnce(moment);
    }

private:
    void closeOnce(const QString& moment) {
        ScriptedPeer peer(peerScript());
        QVERIFY(peer.start());
        QTemporaryDir dir;
        QFile settings(dir.filePath("KV.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[defaults]\nEditTimeOut=42\nCheckListBoxURL=");
        for (const char* page : {"/hang", "/page.html", "/page.html?again"})
            settings.write("1" + peer.url(page).toUtf8() + ",");
        settings.close();

        QProcessEnvironment env = desktop_.environment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus_.address());
        env.insert("KORVANE_UPDATE_ROOT", moment == "question" ? peer.url("/root.txt") : QString());
#ifdef KORVANE_SANITIZED
        // With a session bus, the toolkit's accessibility bridge now and then leaves its bus thread
        // behind at the exit, and the fast unwinder cannot tell its frames from ours. The
        // program's own objects are leak-checked by the in-process window tests.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
#endif
        QProcess korvane;
        QVERIFY(XvfbDesktop::launch(korvane, KORVANE_PROGRAM, {"--settings", settings.fileName()}, env));

        if (moment == "question") {
            // Closing the question's box is the answer "No".
            const auto question = desktop_.waitForWindow(korvane.processId(), "Confirm", ShowLimitMs);
            QVERIFY(question);
            desktop_.requestClose(question);
        }
        const XvfbDesktop::Window window =
            desktop_.waitForWindow(korvane.processId(), "Korvane", ShowLimitMs);
        QVERIFY(window);
        if (moment == "idle" || moment == "check" || moment == "browse")
            QVERIFY(desktop_.ping(window, ShowLimitMs));
        if (moment == "check") {
            desktop_.click(window, 15, 14); // "Check websites once"
            QTRY_VERIFY_WITH_TIMEOUT(requested(peer, "HEAD /hang "), ShowLimitMs);
        }
        if (moment == "browse") {
            desktop_.click(window, 100, 109); // the second page in the status grid opens in the browser
            QTRY_VERIFY_WITH_TIMEOUT(requested(peer, "GET /loaded "), ShowLimitMs);
        }

        // Sent to the window the program showed at its start: it must still be the same one.
        desktop_.requestClose(window);
        QVERIFY2(korvane.waitForFinished(ExitLimitMs), "the program did not end at the close request");
        QCOMPARE(korvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(korvane.exitCode(), 0);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray saved = settings.readAll();
        QVERIFY2(saved.contains("\nCheckBoxSL=1\n") && saved.contains("\nEditTimeOut=42\n"),
                 saved.constData());
    }

    XvfbDesktop desktop_;
    PrivateSessionBus bus_;
    QProcess keyring_;
};

QTEST_GUILESS_MAIN(TestWindowClose)
#include "test_window_close.moc"
