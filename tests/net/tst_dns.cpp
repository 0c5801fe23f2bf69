#include "net/DnsProbe.h"
#include "net/HostLookups.h"
#include "support/net/DnsPeer.h"
#include "support/net/ScriptedPeer.h"

#include <QSignalSpy>
#include <QTest>

class TestDns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void address_data();
    void address();
    void records_data();
    void records();
    void serverTrouble_data();
    void serverTrouble();
    void silentServerUntilStopped();

private:
    FetchResult probe(const QString& url, DnsProbe* probe = nullptr);

    DnsPeer peer_;
    HostLookups lookups_;
    DnsProbe probe_{lookups_};
};

void TestDns::initTestCase() {
    peer_.addHost("192.0.2.1 www.example.test");
    peer_.addHost("2001:db8:0:0::1 www.example.test");
    peer_.addOption("--cname=alias.example.test,www.example.test");
    peer_.addOption("--mx-host=example.test,mail.example.test,10");
    peer_.addOption("--txt-record=example.test,v=spf1 -all,second part");
    peer_.addOption("--srv-host=_sip._tcp.example.test,sip.example.test,5060,10,20");
    peer_.addOption("--ptr-record=1.2.0.192.in-addr.arpa,www.example.test");
    peer_.addRecord("example.test", 2, "036e7331076578616d706c65047465737400");
    peer_.addRecord("example.test", 6,
                    "036e7331076578616d706c650474657374000a686f73746d6173746572076578616d706c6504746573"
                    "740078a3f17500001c2000000e10001275000000012c");
    peer_.addRecord("example.test", 257, "000569737375656c657473656e63727970742e6f7267");
    peer_.addRecord("example.test", 257, "8005696f6465666d61696c746f3a6361406578616d706c652e74657374");
    if (!peer_.start())
        QFAIL(qPrintable(peer_.output()));
}

void TestDns::address_data() {
    // Taken apart as resolver|port|name|type, or the problem.
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("taken");
    const auto row = [](const char* tag, const char* url, const char* taken) {
        QTest::newRow(tag) << QString(url) << QString(taken);
    };
    row("resolver", "dns://192.0.2.53:5353/example.org?type=mx", "192.0.2.53|5353|example.org|MX");
    row("system resolver, A", "DNS:///example.org", "|53|example.org|A");
    row("no authority", "dns:example.org.?TYPE=Caa;class=in", "|53|example.org.|CAA");
    row("IPv6", "dns://[2001:db8::53]:54/a%2Db.org?type=AAAA&class=IN", "2001:db8::53|54|a-b.org|AAAA");
    row("unknown type", "dns:///example.org?type=HINFO", "Unknown record type: HINFO");
    row("other class", "dns:///example.org?class=CH", "Only class IN is looked up: class=CH");
    row("no name", "dns://192.0.2.53/?type=A", "No name to look up");
    row("bad port", "dns://192.0.2.53:99999/example.org", "Bad resolver: 192.0.2.53:99999");
    row("v6 without brackets", "dns://2001:db8::53/example.org", "Bad resolver: 2001:db8::53");
    row("empty label", "dns:///a..org", "Bad name: a..org");
}

void TestDns::address() {
    QFETCH(QString, url);
    const DnsAddress a = DnsAddress::parse(url);
    const QString parts = QStringList{a.resolver, QString::number(a.port), a.name, a.type}.join('|');
    QTEST(a.problem.isEmpty() ? parts : a.problem, "taken");
}

static FetchRequest request(const QString& url) {
    FetchRequest request;
    request.url = url;
    return request;
}

FetchResult TestDns::probe(const QString& url, DnsProbe* probe) {
    probe = probe ? probe : &probe_;
    QSignalSpy finished(probe, &Probe::finished);
    probe->start(request(url));
    if (!finished.wait(30000))
        return {};
    return probe->result();
}

void TestDns::records_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("rcode");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("errorText");
    const auto row = [](const char* type, const QString& name, const QStringList& answers) {
        QTest::newRow(type) << name + "?type=" + type << "NOERROR" << answers << "";
    };
    row("A", "www.example.test", {"192.0.2.1"});
    row("AAAA", "www.example.test", {"2001:db8::1"});
    row("CNAME", "alias.example.test", {"www.example.test."});
    row("MX", "example.test", {"10 mail.example.test."});
    row("NS", "example.test", {"ns1.example.test."});
    row("TXT", "example.test", {R"("v=spf1 -all" "second part")"});
    row("SRV", "_sip._tcp.example.test", {"10 20 5060 sip.example.test."});
    row("PTR", "1.2.0.192.in-addr.arpa", {"www.example.test."});
    row("SOA", "example.test",
        {"ns1.example.test. hostmaster.example.test. 2024010101 7200 3600 1209600 300"});
    row("CAA", "example.test", {R"(0 issue "letsencrypt.org")", R"(128 iodef "mailto:ca@example.test")"});
    QTest::newRow("no record") << "www.example.test?type=MX"
                               << "NOERROR" << QStringList() << "";
    QTest::newRow("NXDOMAIN") << "missing.example.test"
                              << "NXDOMAIN" << QStringList() << "Host not found: missing.example.test";
}

void TestDns::records() {
    QFETCH(QString, query);
    const FetchResult result = probe(peer_.url(query));
    QStringList answers = result.dnsAnswers; // a set: in any order
    answers.sort();
    QTEST(answers, "answers");
    QTEST(result.dnsRcode, "rcode");
    QTEST(result.errorText, "errorText");
    QCOMPARE(result.invalidHost, result.dnsRcode == "NXDOMAIN");
    QCOMPARE(result.remoteAddress, QHostAddress(QHostAddress::LocalHost));
}

void TestDns::serverTrouble_data() {
    QTest::addColumn<int>("rcode");
    QTest::newRow("SERVFAIL") << 2;
    QTest::newRow("REFUSED") << 5;
}

void TestDns::serverTrouble() {
    QFETCH(int, rcode);
    ScriptedPeer server({{"mode", "dns"}, {"rcode", rcode}});
    QVERIFY(server.start());
    const FetchResult result =
        probe(QStringLiteral("dns://127.0.0.1:%1/www.example.test").arg(server.port()));
    QCOMPARE(result.errorText, QStringLiteral("DNS server answered ") + QTest::currentDataTag());
    QVERIFY(!result.invalidHost);
}

void TestDns::silentServerUntilStopped() {
    ScriptedPeer silent({{"mode", "dns"}});
    QVERIFY(silent.start());
    QSignalSpy finished(&probe_, &Probe::finished);
    probe_.start(request(QStringLiteral("dns://127.0.0.1:%1/www.example.test").arg(silent.port())));
    // Unanswered, the query is sent again, and the probe waits on.
    QTRY_VERIFY_WITH_TIMEOUT(silent.requests().size() >= 2, 20000);
    probe_.stop();
    // Stopped, it stays quiet though its answer comes before that of one asked after it.
    probe_.start(request(peer_.url("www.example.test")));
    probe_.stop();
    DnsProbe other(lookups_);
    QCOMPARE(probe(peer_.url("www.example.test"), &other).dnsAnswers, QStringList{"192.0.2.1"});
    QVERIFY(finished.isEmpty());
}

QTEST_GUILESS_MAIN(TestDns)
#include "tst_dns.moc"
