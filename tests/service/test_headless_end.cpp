// The headless monitor's end: what its checks left due goes out, or is given up, within the two
// seconds promised, and a recovery that could not be told then is told after the restart. An error
// escaping its work reaches its guard rather than ending it on the spot.
#include "service/ExceptionGuard.h"
#include "service/ServiceSetup.h"
#include "support/RunUntil.h"
#include "support/SettingsFolder.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"

#include <QFile>
#include <QTest>
#include <QTimer>
#include <stdexcept>

class TestHeadlessEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(nginx_.start(), qPrintable(nginx_.output()));
        for (ScriptedPeer* peer : {&stalling_, &deaf_, &ear_})
            QVERIFY(peer->start());
    }

    void dueMessagesGoOutAndALostRecoveryIsToldAfterTheRestart() {
        const QString page = nginx_.url("/flip.html");
        // Gone, and told at once although the cycle is still waiting for the stalling page.
        QString out = runUntil(ear_, "Page not found: : " + page);
        QVERIFY2(out.contains("Chat message sent to Generic webhook #1"), qPrintable(out));
        QTRY_COMPARE(ear_.requests().size(), 1);
        QVERIFY(ear_.requests().constLast().contains("\"outcome\":\"Page Not Found\""));

        // Back, but the chat service never answers: given up, within the two seconds.
        nginx_.addFile("flip.html", "back");
        out = runUntil(deaf_, "Recovered: " + page);
        QVERIFY2(
            out.contains("Unable to send chat message to Generic webhook #1: given up at the program's end"),
            qPrintable(out));

        // The next start still knows the page's alarm as the last word the service heard.
        const qsizetype heard = ear_.requests().size();
        out = runUntil(ear_, "Recovered: " + page);
        QVERIFY2(out.contains("Chat message sent to Generic webhook #1"), qPrintable(out));
        QTRY_COMPARE(ear_.requests().size(), heard + 1);
        QVERIFY(ear_.requests().constLast().contains("\"outcome\":\"Recovered\""));
    }

    void anErrorInAHandlerReachesTheGuard() {
        auto& app = static_cast<ExceptionGuard<QCoreApplication>&>(*QCoreApplication::instance());
        QString caught;
        app.setCaught([&caught](std::exception_ptr error) { caught = errorText(error); });
        QTimer::singleShot(0, [] { throw std::runtime_error("out of luck"); });
        QTRY_COMPARE(caught, QString("out of luck"));
        app.setCaught({});
    }

private:
    // Runs the monitor, with the chat target at the peer, until its log has the line, then ends it
    // with SIGTERM and checks that it ended in order within two seconds. Returns its output.
    QString runUntil(ScriptedPeer& chat, const QString& line) {
        QFile settings(folder_.settingsPath());
        if (!settings.open(QIODevice::WriteOnly) ||
            !settings.write(
                "[defaults]\nEditTimeOut=60\nCheckBoxPNFChat=1\nCheckBoxRCChat=1\nCheckListBoxURL=1" +
                nginx_.url("/flip.html").toUtf8() + ",1" + stalling_.url("/").toUtf8() +
                ",\nEditChatAddress1=" + chat.url("/hook").toUtf8() + "\n"))
            return {};
        settings.close();
        const EndedRun run = ::runUntil({KORVANE_PROGRAM, "--headless", "--settings", folder_.settingsPath()},
                                        ("] " + line + "\n").toUtf8());
        if (run.exitCode != 0 || run.endMs < 0 || run.endMs >= 2000)
            return QString("did not end in order within two seconds (%1 ms): ").arg(run.endMs) +
                   QString::fromUtf8(run.out);
        return QString::fromUtf8(run.out);
    }

    NginxPeer nginx_;
    SettingsFolder folder_;
    const QJsonObject silent_ = ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}});
    ScriptedPeer stalling_{silent_};
    ScriptedPeer deaf_{silent_};
    ScriptedPeer ear_{
        ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n")}})};
};

int main(int argc, char** argv) {
    ExceptionGuard<QCoreApplication> app(argc, argv);
    TestHeadlessEnd test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_headless_end.moc"
