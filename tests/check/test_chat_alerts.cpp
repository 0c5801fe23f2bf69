// Alarms to chat services from the monitor: what a webhook receives for a cycle, tries
// again after a busy answer and not after a refusal, a silent service that holds up nothing, and
// a close that does not wait for a try still to come.
#include "notify/ChatSender.h"
#include "settings/ChatService.h"
#include "support/EngineTestMain.h"
#include "support/FakeDialogs.h"
#include "support/MonitorFixture.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"

#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

QJsonObject answering(const QJsonArray& replies) {
    return {{"mode", "http"}, {"routes", QJsonObject{{"*", QJsonObject{{"sequence", replies}}}}}};
}

const QString Ok = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";

QStringList chatLines(const QStringList& lines) {
    return lines.filter(QRegularExpression("chat message", QRegularExpression::CaseInsensitiveOption));
}

} // namespace

class TestChatAlerts : public QObject {
    Q_OBJECT
    NginxPeer nginx;

    // A monitor whose first target is the service at address; page failures go to the chat.
    void aimAt(MonitorFixture& f, ChatService service, const QString& address) {
        f.muteSounds();
        f.m().chatSender().setRetryDelays({50, 50, 50});
        f.settings().setText("ComboChatService1", chatServiceName(service));
        f.settings().setText("EditChatAddress1", address);
        for (AlarmCondition row : {AlarmCondition::PageNotFound, AlarmCondition::ConnectionFailed})
            f.raise(row, AlarmReaction::Chat);
    }

    QStringList waitForChatLines(MonitorFixture& f, int count) {
        QStringList lines;
        const bool arrived = QTest::qWaitFor([&] {
            lines = chatLines(f.logLines());
            return lines.size() >= count;
        });
        return arrived ? lines : QStringList{"no chat line arrived"};
    }

private slots:
    void initTestCase() {
        nginx.addFile("ok.html", "fine");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }
    void init() { testDialogs() = FakeDialogs(); }

    // Two failing pages and a healthy one make one message that names the two.
    void webhookGetsOneMessageForTheCycle() {
        ScriptedPeer hook(answering({Ok}));
        QVERIFY2(hook.start(), qPrintable(hook.output()));
        MonitorFixture f;
        aimAt(f, ChatService::Webhook, hook.url("/hook"));
        const QString missing = nginx.url("missing.html?a=1&b=*2*");
        const QString closed = QString("http://127.0.0.1:%1/").arg(PeerProcess::freePort());
        f.addPage(missing, false, false, false);
        f.addPage(nginx.url("ok.html"), false, false, false);
        f.addPage(closed, false, false, false);
        f.runCycle();
        QCOMPARE(waitForChatLines(f, 1), QStringList{"Chat message sent to Generic webhook #1"});

        QCOMPARE(hook.requests().size(), 1);
        const QByteArray request = hook.requests().front();
        QVERIFY(request.startsWith("POST /hook HTTP/1.1\r\n"));
        const QByteArray body = request.mid(request.indexOf("\r\n\r\n") + 4);
        const QByteArray time = QJsonDocument::fromJson(body)["time"].toString().toLatin1();
        QVERIFY(QDateTime::fromString(time, Qt::ISODate).isValid());
        QCOMPARE(body,
                 R"({"program":"Korvane","host":")" + QHostInfo::localHostName().toUtf8() + R"(","time":")" +
                     time + R"(","alarms":[{"page":")" + missing.toUtf8() +
                     R"(","outcome":"Page Not Found","error":"Page not found: ","code":404,"status":"red"},)"
                     R"({"page":")" +
                     closed.toUtf8() +
                     R"(","outcome":"Connection Failed","error":"Connection failed: connection refused",)"
                     R"("code":0,"status":"red"}]})");
    }

    void triesAgainOnlyWhenTheServiceIsBusy_data() {
        QTest::addColumn<QJsonArray>("replies");
        QTest::addColumn<int>("tries");
        QTest::addColumn<QString>("line");
        QTest::newRow("503, then taken") << QJsonArray{"HTTP/1.1 503 Service Unavailable\r\nRetry-After: "
                                                       "0\r\nContent-Length: 4\r\n\r\nbusy",
                                                       Ok}
                                         << 2 << "Chat message sent to Slack #1";
        QTest::newRow("401 is final")
            << QJsonArray{"HTTP/1.1 401 Unauthorized\r\nContent-Length: 13\r\n\r\ninvalid_token", Ok} << 1
            << "Unable to send chat message to Slack #1: 401 Unauthorized: invalid_token";
        QTest::newRow("always busy")
            << QJsonArray{"HTTP/1.1 429 Too Many Requests\r\nContent-Length: 0\r\n\r\n"} << 4
            << "Unable to send chat message to Slack #1: 429 Too Many Requests";
    }

    void triesAgainOnlyWhenTheServiceIsBusy() {
        QFETCH(QJsonArray, replies);
        ScriptedPeer slack(answering(replies));
        QVERIFY2(slack.start(), qPrintable(slack.output()));
        MonitorFixture f;
        aimAt(f, ChatService::Slack, slack.url("/services/T0/B0/x"));
        f.addPage(nginx.url("missing.html"), false, false, false);
        f.runCycle();
        QFETCH(QString, line);
        QCOMPARE(waitForChatLines(f, 1), QStringList{line});
        QTEST(int(slack.requests().size()), "tries");
    }

    // A try ends at its deadline, and follows no redirect to another server (localhost here).
    void triesEndAtTheService() {
        const QJsonObject slow{
            {"send", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n"}, {"flood", "x"}, {"every", 0.1}};
        const QString moved = "HTTP/1.1 307 Moved\r\nLocation: http://localhost:{PORT}/\r\n\r\n";
        ScriptedPeer hook(ScriptedPeer::routes({{"/slow", slow}, {"/moved", ScriptedPeer::reply(moved)}}));
        QVERIFY2(hook.start(), qPrintable(hook.output()));
        MonitorFixture f;
        aimAt(f, ChatService::Webhook, hook.url("/slow"));
        f.settings().setText("EditChatAddress2", hook.url("/moved"));
        f.m().chatSender().setTryTimeOut(500);
        f.addPage(nginx.url("missing.html"), false, false, false);
        f.runCycle();
        const QStringList lines = waitForChatLines(f, 2);
        QVERIFY(lines.contains("Unable to send chat message to Generic webhook #1: no answer within 0.5 s"));
        QVERIFY(lines.contains("Unable to send chat message to Generic webhook #2: 307 Moved"));
        QCOMPARE(hook.requests().size(), 5); // four tries of #1, timed out: busy
    }

    // A service that never answers holds up no check, and a close does not wait for a try
    // still to come.
    void silentServiceHoldsUpNothing() {
        ScriptedPeer silent(
            {{"mode", "http"}, {"routes", QJsonObject{{"*", QJsonObject{{"silent", true}}}}}});
        ScriptedPeer busy(answering({"HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n"}));
        QVERIFY2(silent.start(), qPrintable(silent.output()));
        QVERIFY2(busy.start(), qPrintable(busy.output()));
        MonitorFixture f;
        aimAt(f, ChatService::Webhook, silent.url("/"));
        f.m().chatSender().setRetryDelays({3600 * 1000});
        f.settings().setText("EditChatAddress2", busy.url("/"));
        f.addPage(nginx.url("missing.html"), false, false, false);
        f.runCycle();
        QTRY_COMPARE(silent.requests().size(), 1);
        QTRY_COMPARE(busy.requests().size(), 1);
        // The next cycle runs while both messages are under way.
        f.addPage(nginx.url("ok.html"), false, false, false);
        f.runCycle();
        QCOMPARE(f.status(1), PageStatus::Ok);
        f.end(); // as the program ends
        const QStringList lines = chatLines(f.logLines());
        QVERIFY2(
            lines.contains("Unable to send chat message to Generic webhook #2: closed before the next try"),
            qPrintable(lines.join('\n')));
    }
};

KORVANE_ENGINE_TEST_MAIN(TestChatAlerts)
#include "test_chat_alerts.moc"
