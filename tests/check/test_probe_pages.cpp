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

private slots:
    void initTestCase() {
        dns.addHost("127.0.0.1 shop.test");
        QVERIFY2(dns.start(), qPrintable(dns.output()));
        QVERIFY2(banner.start(), qPrintable(banner.output()));
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
        MonitorFixture f;
        f.muteSounds();
        const int page = f.addPage(address, false, false, false);
        PageOptions options;
        options.expect = expect;
        f.m().pages.setOptions(page, options);
        QList<CheckRecord> checks;
        connect(&f.m().checkCycle(), &CheckCycle::pageChecked, this,
                [&](const CheckRecord& check) { checks.append(check); });
        f.runCycle();
        QCOMPARE(checks.size(), 1);
        QCOMPARE(checks[0].outcome, outcome);
        QCOMPARE(checks[0].error, error);
        QCOMPARE(checks[0].dnsAnswers.has_value(), address.startsWith("dns:"));
    }
};

KORVANE_ENGINE_TEST_MAIN(TestProbePages)
#include "test_probe_pages.moc"
