#include "net/DnsAddress.h"
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
    // ns1.example.test. hostmaster.example.test. 2024010101 7200 3600 1209600 300
    peer_.addRecord("example.test", 6,
                    "036e7331076578616d706c650474657374000a686f73746d6173746572076578616d706c6504746573"
                    "740078a3f17500001c2000000e10001275000000012c");
    peer_.addRecord("example.test", 257, "000569737375656c657473656e63727970742e6f7267");
    peer_.addRecord("example.test", 257, "8005696f6465666d61696c746f3a6361406578616d706c652e74657374");
    if (!peer_.start())
        QFAIL(qPrintable(peer_.output()));
}

void TestDns::address_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("resolver");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("problem");
    QTest::newRow("resolver, port, type") << "dns://192.0.2.53:5353/example.org?type=mx"
                                          << "192.0.2.53" << 5353 << "example.org"
                                          << "MX"
                                          << "";
    QTest::newRow("system resolver, A") << "DNS:///example.org"
                                        << "" << 53 << "example.org"
                                        << "A"
                                        << "";
    QTest::newRow("no authority") << "dns:example.org.?TYPE=Caa;class=in"
                                  << "" << 53 << "example.org."
                                  << "CAA"
                                  << "";
    QTest::newRow("IPv6 resolver") << "dns://[2001:db8::53]:54/a%2Db.org?type=AAAA&class=IN"
                                   << "2001:db8::53" << 54 << "a-b.org"
                                   << "AAAA"
                                   << "";
    QTest::newRow("named resolver") << "dns://NS1.example.org/_sip._tcp.example.org?type=SRV"
                                    << "ns1.example.org" << 53 << "_sip._tcp.example.org"
                                    << "SRV"
                                    << "";
    QTest::newRow("unknown type") << "dns:///example.org?type=HINFO"
                                  << "" << 53 << ""
                                  << "A"
                                  << "Unknown record type: HINFO";
    QTest::newRow("other class") << "dns:///example.org?class=CH"
                                 << "" << 53 << ""
                                 << "A"
                                 << "Only class IN is looked up: class=CH";
    QTest::newRow("no name") << "dns://192.0.2.53/?type=A"
                             << "" << 53 << ""
                             << "A"
                             << "No name to look up";
    QTest::newRow("bad port") << "dns://192.0.2.53:99999/example.org"
                              << "" << 53 << ""
                              << "A"
                              << "Bad resolver: 192.0.2.53:99999";
    QTest::newRow("v6 without brackets") << "dns://2001:db8::53/example.org"
                                         << "" << 53 << ""
                                         << "A"
                                         << "Bad resolver: 2001:db8::53";
    QTest::newRow("empty label") << "dns:///a..org"
                                 << "" << 53 << ""
                                 << "A"
                                 << "Bad name: a..org";
}

void TestDns::address() {
    QFETCH(QString, url);
    const DnsAddress address = DnsAddress::parse(url);
    QTEST(address.problem, "problem");
    QTEST(address.resolver, "resolver");
    QTEST(int(address.port), "port");
    QTEST(address.name, "name");
    QTEST(address.type, "type");
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
    QTest::newRow("no record of the type") << "www.example.test?type=MX"
                                           << "NOERROR" << QStringList() << "";
    QTest::newRow("NXDOMAIN") << "missing.example.test"
                              << "NXDOMAIN" << QStringList() << "Host not found: missing.example.test";
}

void TestDns::records() {
    QFETCH(QString, query);
    QFETCH(QStringList, answers);
    QFETCH(QString, errorText);
    const FetchResult result = probe(peer_.url(query));
    QTEST(result.dnsRcode, "rcode");
    QCOMPARE(QSet(result.dnsAnswers.cbegin(), result.dnsAnswers.cend()),
             QSet(answers.cbegin(), answers.cend()));
    QCOMPARE(result.dnsAnswers.size(), answers.size());
    QCOMPARE(result.errorText, errorText);
    QCOMPARE(result.invalidHost, result.dnsRcode == "NXDOMAIN");
    QCOMPARE(result.remoteAddress, QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(result.port, peer_.port());
}

void TestDns::serverTrouble_data() {
    QTest::addColumn<int>("rcode");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("SERVFAIL") << 2 << "DNS server answered SERVFAIL";
    QTest::newRow("REFUSED") << 5 << "DNS server answered REFUSED";
}

void TestDns::serverTrouble() {
    QFETCH(int, rcode);
    ScriptedPeer server({{"mode", "dns"}, {"rcode", rcode}});
    QVERIFY(server.start());
    const FetchResult result =
        probe(QStringLiteral("dns://127.0.0.1:%1/www.example.test").arg(server.port()));
    QTEST(result.errorText, "errorText");
    QVERIFY(result.dnsAnswers.isEmpty());
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
    // Stopped, it stays quiet even when an answer comes: one asked after it on the same resolver
    // is answered after it.
    probe_.start(request(peer_.url("www.example.test")));
    probe_.stop();
    DnsProbe other(lookups_);
    QCOMPARE(probe(peer_.url("www.example.test"), &other).dnsAnswers, QStringList{"192.0.2.1"});
    QVERIFY(finished.isEmpty());
}

QTEST_GUILESS_MAIN(TestDns)
#include "tst_dns.moc"
