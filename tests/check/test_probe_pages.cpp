// Pages that are no web pages, checked by the monitor's cycle as web pages are: a DNS name, a
// name that does not exist, a port that refuses, and a banner that does or does not say what the
// page expects, each deciding the row the history keeps.
#include "check/CheckCycle.h"
#include "support/EngineTestMain.h"
#include "support/MonitorFixture.h"
#include "support/net/DnsPeer.h"
#include "support/net/ScriptedPeer.h"

class TestProbePages : public QObject {
    Q_OBJECT
    DnsPeer dns;
    ScriptedPeer banner{QJsonObject{{"mode", "raw"}, {"greeting", "SSH-2.0-Peer\r\n"}}};
    ScriptedPeer api{ScriptedPeer::routes(
        {{"*", QJsonObject{{"send", "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nX-Node: b7\r\n"
                                    "Content-Length: 33\r\nConnection: close\r\n\r\n"
                                    "{\"status\":\"DOWN\",\"items\":[1,2,3]}"}}}})};

    // The page's one check with these options, as the history keeps it.
    CheckRecord checkOnce(const QString& address, const PageOptions& options) {
        MonitorFixture f;
        f.muteSounds();
        f.m().pages.setOptions(f.addPage(address, false, false, false), options);
        QList<CheckRecord> checks;
        connect(&f.m().checkCycle(), &CheckCycle::pageChecked, this,
                [&](const CheckRecord& check) { checks.append(check); });
        f.runCycle();
        return checks.value(0);
    }

private slots:
    void initTestCase() {
        dns.addHost("127.0.0.1 shop.test");
        QVERIFY2(dns.start(), qPrintable(dns.output()));
        QVERIFY2(banner.start(), qPrintable(banner.output()));
        QVERIFY2(api.start(), qPrintable(api.output()));
    }

    void eachKindDecidesItsRow_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expect");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("error");
        const QString port = QString("tcp://127.0.0.1:%1").arg(banner.port());
        QTest::newRow("name") << dns.url("shop.test") << ""
                              << "No Error"
                              << "";
        QTest::newRow("no such name") << dns.url("gone.test") << ""
                                      << "Host Not Found"
                                      << "Invalid Host ";
        QTest::newRow("refused") << QString("tcp://127.0.0.1:%1").arg(PeerProcess::freePort()) << ""
                                 << "Connection Failed"
                                 << "Connection failed: connection refused";
        QTest::newRow("banner as expected") << port << "SSH-2.0"
                                            << "No Error"
                                            << "";
        QTest::newRow("banner not as expected") << port << "220 "
                                                << "Content Check Failed"
                                                << "Content check failed: text not found: 220 ";
    }
    void eachKindDecidesItsRow() {
        QFETCH(QString, address);
        QFETCH(QString, expect);
        QFETCH(QString, outcome);
        QFETCH(QString, error);
        PageOptions options;
        options.expect = expect;
        const CheckRecord check = checkOnce(address, options);
        QCOMPARE(check.outcome, outcome);
        QCOMPARE(check.error, error);
        QCOMPARE(check.dnsAnswers.has_value(), address.startsWith("dns:"));
    }

    // The first condition that fails names what it found; a page whose conditions hold is fine.
    void conditionsJudgeTheAnswer_data() {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QStringList>("conditions");
        QTest::addColumn<QString>("error");
        QTest::newRow("hold") << true
                              << QStringList{"[STATUS] == 200", "len([BODY].items) == 3",
                                             "[RESPONSE_TIME] < 60000"}
                              << "";
        QTest::newRow("body") << true << QStringList{"[STATUS] == 200", "[BODY].status == UP"}
                              << "Content check failed: condition not met: [BODY].status == UP (was DOWN)";
        QTest::newRow("header")
            << true << QStringList{"[HEADER].x-node == any(a1, a2)"}
            << "Content check failed: condition not met: [HEADER].x-node == any(a1, a2) (was b7)";
        QTest::newRow("missing")
            << true << QStringList{"[BODY].owner == ops"}
            << "Content check failed: condition not met: [BODY].owner == ops (was missing)";
        QTest::newRow("answers") << false << QStringList{"[ANSWERS] == 127.0.0.1", "[DNS_RCODE] == NOERROR"}
                                 << "";
    }
    void conditionsJudgeTheAnswer() {
        QFETCH(bool, web);
        QFETCH(QStringList, conditions);
        QFETCH(QString, error);
        PageOptions options;
        options.conditions = conditions;
        const CheckRecord check = checkOnce(web ? api.url("/health") : dns.url("shop.test"), options);
        QCOMPARE(check.error, error);
        QCOMPARE(check.outcome, error.isEmpty() ? "No Error" : "Content Check Failed");
        // A condition on the body asks for it with GET.
        if (web)
            QCOMPARE(api.requests().last().startsWith("GET "), conditions.join(' ').contains("[BODY]"));
    }
};

KORVANE_ENGINE_TEST_MAIN(TestProbePages)
#include "test_probe_pages.moc"
