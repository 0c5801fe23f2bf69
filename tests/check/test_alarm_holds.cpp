// Alarms that are held, as a webhook counts them: a pause, a maintenance window and a page behind
// a failing one tell nobody but the log; reminders and escalation tell each target at its time;
// and a recovery reaches whoever heard of the failure, pause or not.
#include "check/AlarmDispatch.h"
#include "check/AlarmPause.h"
#include "notify/ChatSender.h"
#include "settings/ChatService.h"
#include "support/EngineTestMain.h"
#include "support/MonitorFixture.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString Ok = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
const QString Missing = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
constexpr qint64 Minute = 60000;

QJsonObject pages(const QJsonArray& a, const QJsonArray& b) {
    return ScriptedPeer::routes({{"/a", QJsonObject{{"sequence", a}}},
                                 {"/b", QJsonObject{{"sequence", b}}},
                                 {"*", QJsonObject{{"send", Ok}}}});
}

} // namespace

class TestAlarmHolds : public QObject {
    Q_OBJECT
    NginxPeer nginx;

    // Page failures and recoveries go to the chat, to the hook's paths /one and /two.
    void aimAt(MonitorFixture& f, ScriptedPeer& hook, bool second = false) {
        f.muteSounds();
        for (AlarmCondition row :
             {AlarmCondition::PageNotFound, AlarmCondition::ConnectionFailed, AlarmCondition::Recovered})
            f.raise(row, AlarmReaction::Chat);
        for (const QString& number : second ? QStringList{"1", "2"} : QStringList{"1"}) {
            f.settings().setText("ComboChatService" + number, chatServiceName(ChatService::Webhook));
            f.settings().setText("EditChatAddress" + number, hook.url(number == "1" ? "/one" : "/two"));
        }
    }

    // The alarms each message to path carried, in order, as "outcome page" lines.
    static QStringList told(ScriptedPeer& hook, const QByteArray& path) {
        QStringList alarms;
        for (const QByteArray& request : hook.requests()) {
            if (!request.startsWith("POST " + path + " "))
                continue;
            const QJsonDocument body = QJsonDocument::fromJson(request.mid(request.indexOf("\r\n\r\n") + 4));
            for (const QJsonValue alarm : body["alarms"].toArray())
                alarms.append(alarm["outcome"].toString() + ' ' + alarm["error"].toString() +
                              (alarm["held"].isUndefined()
                                   ? QString()
                                   : " held " + QString::number(alarm["held"].toInt())));
        }
        return alarms;
    }

    // Waits for every chat message the cycle sent to end in its log line.
    static void settle(MonitorFixture& f) {
        QVERIFY(QTest::qWaitFor([&] { return f.m().chatSender().idle(); }));
    }

private slots:
    void initTestCase() {
        nginx.addFile("ok.html", "fine");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }

    void heldPagesTellOnlyTheLog_data() {
        QTest::addColumn<QString>("hold");
        QTest::addColumn<QString>("line");
        QTest::newRow("pause") << "pause"
                               << "Held (alarms paused): %1";
        QTest::newRow("window") << "window"
                                << "Held (maintenance \"deploy\"): %1";
    }
    void heldPagesTellOnlyTheLog() {
        QFETCH(QString, hold);
        QFETCH(QString, line);
        ScriptedPeer hook(ScriptedPeer::routes({{"*", QJsonObject{{"send", Ok}}}}));
        QVERIFY2(hook.start(), qPrintable(hook.output()));
        MonitorFixture f;
        aimAt(f, hook);
        const QString missing = nginx.url("missing.html");
        f.addPage(missing, false, false, false);
        if (hold == "pause") {
            f.m().alarmPause().pauseFor(3600);
        } else {
            MaintenanceWindow window;
            window.name = "deploy";
            window.allPages = true;
            window.start = QDateTime::currentDateTime().addSecs(-60);
            window.end = window.start.addSecs(3600);
            f.m().maintenance = {window};
        }
        const QStringList lines = f.runCycle();
        QVERIFY2(lines.contains(line.arg(missing)), qPrintable(lines.join('\n')));
        QCOMPARE(lines.indexOf(line.arg(missing)) - 1, lines.indexOf("Page not found: : " + missing));
        QCOMPARE(f.status(0), PageStatus::Failed);
        f.m().alarmPause().resume();
        f.m().maintenance.clear();
        f.runCycle();
        settle(f);
        // Once the hold is over the failure is news, and only then is anybody told.
        QCOMPARE(told(hook, "/one"), QStringList{"Page Not Found Page not found: "});
    }

    // A gateway down with a thousand pages behind it makes one alarm, which counts them.
    void pagesBehindAFailingOneWaitForIt() {
        ScriptedPeer hook(ScriptedPeer::routes({{"*", QJsonObject{{"send", Ok}}}}));
        QVERIFY2(hook.start(), qPrintable(hook.output()));
        MonitorFixture f;
        aimAt(f, hook);
        const QString gateway = QString("http://127.0.0.1:%1/").arg(PeerProcess::freePort());
        constexpr int Behind = 1000;
        for (int page = 0; page < Behind; ++page) {
            const int position =
                f.addPage(nginx.url(QString("missing-%1.html").arg(page)), false, false, false);
            PageOptions options;
            options.dependsOn = gateway;
            f.m().pages.setOptions(position, options);
        }
        f.addPage(gateway, false, false, false);
        const QStringList lines = f.runCycle();
        settle(f);
        QVERIFY(lines.contains("Held (depends on " + gateway + "): " + nginx.url("missing-7.html")));
        const QStringList alarms = told(hook, "/one");
        QCOMPARE(alarms.size(), 1);
        QVERIFY2(alarms.front().startsWith("Connection Failed ") && alarms.front().endsWith(" held 1000"),
                 qPrintable(alarms.front()));
    }

    // Target #1 hears at once and is reminded hourly; #2 only once the page is down 30 minutes.
    // Both hear of the recovery, though it comes during a pause; of a page that was back before
    // #2 was to hear of it, #2 hears nothing.
    void remindersAndEscalationTellEachTargetInTurn() {
        ScriptedPeer hook(ScriptedPeer::routes({{"*", QJsonObject{{"send", Ok}}}}));
        ScriptedPeer site(pages({Missing, Missing, Missing, Missing, Ok}, {Ok, Ok, Ok, Missing, Ok}));
        QVERIFY2(hook.start(), qPrintable(hook.output()));
        QVERIFY2(site.start(), qPrintable(site.output()));
        MonitorFixture f;
        aimAt(f, hook, true);
        f.settings().setText("EditRemindEvery", "60");
        f.settings().setText("EditChatAfter2", "30");
        f.addPage(site.url("/a"), false, false, false);
        f.addPage(site.url("/b"), false, false, false);
        qint64 now = 0;
        f.m().alarmDispatch().setClock([&] { return now; });
        for (qint64 at : {0, 10, 31, 61}) {
            now = at * Minute;
            f.runCycle();
        }
        f.m().alarmPause().pauseFor(0);
        f.runCycle();
        settle(f);
        const QString b = "Page Not Found Page not found: ";
        QCOMPARE(told(hook, "/one"),
                 QStringList({b, "Page Not Found Still down for 1 h 1 min: Page not found: ", b,
                              "Recovered Recovered after 4 failed checks",
                              "Recovered Recovered after 1 failed checks"}));
        QCOMPARE(told(hook, "/two"), QStringList({b, "Recovered Recovered after 4 failed checks"}));
    }
};

KORVANE_ENGINE_TEST_MAIN(TestAlarmHolds)
#include "test_alarm_holds.moc"
