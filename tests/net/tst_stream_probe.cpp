// The stream probe: its addresses, its greeting dialogue on its own, and every scheme through
// real peers on 127.0.0.1 (aiosmtpd, scripted greeting and banner peers, TLS with the test's
// own authority).
#include "net/GreetingDialogue.h"
#include "net/HostLookups.h"
#include "net/StreamProbe.h"
#include "net/TlsClient.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/SmtpPeer.h"
#include "support/net/TestAuthority.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <memory>

using Dialect = StreamAddress::Dialect;
using Tls = StreamAddress::Tls;

class TstStreamProbe : public QObject {
    Q_OBJECT
    TestAuthority authority;
    std::map<QString, std::unique_ptr<PeerProcess>> peers;

    QJsonObject tls(const TestAuthority::Issued& issued) {
        return {{"certificate", issued.certificate}, {"key", issued.key}};
    }
    static QJsonObject with(QJsonObject script, const QString& key, const QJsonValue& value) {
        script.insert(key, value);
        return script;
    }
    // The bytes the scripted peer got on its last connection.
    QByteArray lastRecord(const QString& name) {
        const QList<QByteArray> records = static_cast<ScriptedPeer&>(*peers.at(name)).requests();
        return records.isEmpty() ? QByteArray() : records.last();
    }
    bool launch(const QString& name, const QJsonObject& script) {
        auto peer = std::make_unique<ScriptedPeer>(script);
        const bool started = peer->start();
        peers[name] = std::move(peer);
        return started;
    }

private slots:
    void address_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("dialect");
        QTest::addColumn<int>("tls");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port"); // 0: refused
        QTest::newRow("tcp") << "tcp://db.example.org:5432" << int(Dialect::None) << int(Tls::None)
                             << "db.example.org" << 5432;
        QTest::newRow("tcp needs a port") << "tcp://db.example.org" << 0 << 0 << "" << 0;
        QTest::newRow("tls ipv6") << "TLS://[::1]:8443/" << int(Dialect::None) << int(Tls::First) << "[::1]"
                                  << 8443;
        QTest::newRow("tls ipv6 needs a port") << "tls://[::1]" << 0 << 0 << "" << 0;
        QTest::newRow("smtps") << "smtps://mx.example.org" << int(Dialect::Smtp) << int(Tls::First)
                               << "mx.example.org" << 465;
        QTest::newRow("imaps") << "imaps://mx.example.org" << int(Dialect::Imap) << int(Tls::First)
                               << "mx.example.org" << 993;
        QTest::newRow("pop3s") << "pop3s://mx.example.org" << int(Dialect::Pop3) << int(Tls::First)
                               << "mx.example.org" << 995;
        QTest::newRow("smtp submission") << "smtp://mx.example.org:587" << int(Dialect::Smtp)
                                         << int(Tls::Upgrade) << "mx.example.org" << 587;
        QTest::newRow("imap") << "imap://mx.example.org" << int(Dialect::Imap) << int(Tls::Upgrade)
                              << "mx.example.org" << 143;
        QTest::newRow("pop3") << "pop3://mx.example.org/" << int(Dialect::Pop3) << int(Tls::Upgrade)
                              << "mx.example.org" << 110;
        QTest::newRow("port zero") << "tcp://h:0" << 0 << 0 << "" << 0;
        QTest::newRow("port too big") << "tcp://h:65536" << 0 << 0 << "" << 0;
        QTest::newRow("port signed") << "tcp://h:+25" << 0 << 0 << "" << 0;
        QTest::newRow("no host") << "smtp://:25" << 0 << 0 << "" << 0;
        QTest::newRow("path") << "imap://h/INBOX" << 0 << 0 << "" << 0;
        QTest::newRow("login") << "pop3://me@h" << 0 << 0 << "" << 0;
        QTest::newRow("unclosed bracket") << "tls://[::1:443" << 0 << 0 << "" << 0;
        QTest::newRow("web page") << "https://h/" << 0 << 0 << "" << 0;
    }
    void address() {
        QFETCH(QString, url);
        QFETCH(int, port);
        if (port == 0) {
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, StreamAddress::parse(url));
            return;
        }
        const StreamAddress parsed = StreamAddress::parse(url);
        QTEST(int(parsed.dialect), "dialect");
        QTEST(int(parsed.tls), "tls");
        QTEST(parsed.host, "host");
        QCOMPARE(parsed.port, port);
    }

    void dialogue_data() {
        QTest::addColumn<int>("dialect");
        QTest::addColumn<bool>("startTls");
        QTest::addColumn<QStringList>("lines"); // the server's, "" where the handshake is done
        QTest::addColumn<QStringList>("said");  // what went out; "TLS" where the handshake was asked for
        QTest::addColumn<QString>("error");
        const QString longLine = "554 " + QString(300, 'x') + "\r\n";
        QTest::newRow("smtp starttls")
            << int(Dialect::Smtp) << true
            << QStringList{"220-mx\r\n", "220 ready\r\n", "250-mx\r\n", "250 STARTTLS\r\n", "220 go\r\n", ""}
            << QStringList{"EHLO me", "STARTTLS", "TLS", "QUIT"} << "";
        QTest::newRow("smtps") << int(Dialect::Smtp) << false << QStringList{"220 ready\r\n"}
                               << QStringList{"QUIT"} << "";
        QTest::newRow("smtp greeting refused, quoted short")
            << int(Dialect::Smtp) << true << QStringList{longLine} << QStringList{"QUIT"}
            << "Greeting refused: 554 " + QString(196, 'x');
        QTest::newRow("smtp starttls not offered")
            << int(Dialect::Smtp) << true << QStringList{"220 ready\r\n", "250 mx\r\n"}
            << QStringList{"EHLO me", "QUIT"} << "STARTTLS refused: The mail server offers no STARTTLS";
        QTest::newRow("smtp starttls refused")
            << int(Dialect::Smtp) << true
            << QStringList{"220 ready\r\n", "250-mx\r\n", "250 STARTTLS\r\n", "454 not now\r\n"}
            << QStringList{"EHLO me", "STARTTLS", "QUIT"} << "STARTTLS refused: 454 not now";
        QTest::newRow("smtp reply number past 16 bits")
            << int(Dialect::Smtp) << false << QStringList{"99999 hi\r\n"} << QStringList{"QUIT"}
            << "Greeting refused: 99999 hi";
        QTest::newRow("imap starttls, untagged lines")
            << int(Dialect::Imap) << true
            << QStringList{"* OK IMAP\r\n", "* CAPABILITY IMAP4rev1\r\n", "A1 ok begin\r\n", ""}
            << QStringList{"a1 STARTTLS", "TLS", "a2 LOGOUT"} << "";
        QTest::newRow("imaps preauth") << int(Dialect::Imap) << false << QStringList{"* PREAUTH hi\r\n"}
                                       << QStringList{"a1 LOGOUT"} << "";
        QTest::newRow("imap bye") << int(Dialect::Imap) << true << QStringList{"* BYE busy\r\n"}
                                  << QStringList{"a1 LOGOUT"} << "Greeting refused: * BYE busy";
        QTest::newRow("imap starttls refused")
            << int(Dialect::Imap) << true << QStringList{"* OK\r\n", "a1 BAD no\r\n"}
            << QStringList{"a1 STARTTLS", "a2 LOGOUT"} << "STARTTLS refused: a1 BAD no";
        QTest::newRow("pop3 stls") << int(Dialect::Pop3) << true
                                   << QStringList{"+OK POP3\r\n", "+OK go\r\n", ""}
                                   << QStringList{"STLS", "TLS", "QUIT"} << "";
        QTest::newRow("pop3 stls refused")
            << int(Dialect::Pop3) << true << QStringList{"+OK\r\n", "-ERR no\r\n"}
            << QStringList{"STLS", "QUIT"} << "STARTTLS refused: -ERR no";
        QTest::newRow("pop3s -ERR") << int(Dialect::Pop3) << false << QStringList{"-ERR full\r\n"}
                                    << QStringList{"QUIT"} << "Greeting refused: -ERR full";
        QTest::newRow("pop3 +OKAY is no welcome") << int(Dialect::Pop3) << false << QStringList{"+OKAY\r\n"}
                                                  << QStringList{"QUIT"} << "Greeting refused: +OKAY";
    }
    void dialogue() {
        QFETCH(QStringList, lines);
        QFETCH(int, dialect);
        QFETCH(bool, startTls);
        GreetingDialogue dialogue;
        QStringList said;
        QString error;
        GreetingDialogue::Step step = dialogue.begin(Dialect(dialect), startTls, "me");
        for (const QString& line : lines) {
            step = line.isEmpty() ? dialogue.tlsStarted() : dialogue.take(line);
            if (!step.send.isEmpty())
                said << step.send;
            if (step.kind == GreetingDialogue::Kind::StartTls)
                said << "TLS";
            error = step.error;
        }
        QCOMPARE(step.kind, GreetingDialogue::Kind::Done);
        QTEST(said, "said");
        QTEST(error, "error");
    }

    void initTestCase() {
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        authority.trustInThisProcess();
        const TestAuthority::Issued good = authority.issue({"IP:127.0.0.1"});
        const TestAuthority::Issued soon = authority.issue({"IP:127.0.0.1"}, 2);
        const TestAuthority::Issued own = authority.selfSigned({"IP:127.0.0.1"});
        QVERIFY2(!good.key.isEmpty() && !soon.key.isEmpty() && !own.key.isEmpty(),
                 qPrintable(authority.output()));
        const QJsonObject imap{
            {"answers", QJsonObject{{"a1 STARTTLS", "* CAPABILITY IMAP4rev1\r\na1 OK go"}}},
            {"greeting", "* OK IMAP ready\r\n"},
            {"mode", "smtp"},
            {"tls", tls(good)}};
        const QJsonObject pop3{{"answers", QJsonObject{{"STLS", "+OK go"}}},
                               {"greeting", "+OK POP3 ready\r\n"},
                               {"mode", "smtp"},
                               {"tls", tls(good)}};
        QVERIFY(launch("banner", {{"mode", "raw"}, {"greeting", "SSH-2.0-Peer\r\n"}}));
        QVERIFY(launch("echo", {{"mode", "raw"}, {"replies", QJsonArray{"pong\r\n"}}}));
        QVERIFY(launch("tls", {{"mode", "raw"}, {"tls", tls(soon)}}));
        QVERIFY(launch("imap", with(imap, "upgrade", "a1 STARTTLS")));
        QVERIFY(launch("imaps", imap));
        QVERIFY(launch("pop3", with(pop3, "upgrade", "STLS")));
        QVERIFY(launch("pop3s untrusted", with(pop3, "tls", tls(own))));
        QVERIFY(launch("smtp 554", {{"mode", "smtp"}, {"greeting", "554 5.3.2 no service here\r\n"}}));
        QVERIFY(launch("smtp 454", {{"mode", "smtp"},
                                    {"answers", QJsonObject{{"EHLO", "250-peer\r\n250 STARTTLS"},
                                                            {"STARTTLS", "454 4.7.0 not now"}}}}));
        for (const QStringList& options : {QStringList{}, QStringList{"--implicit"}}) {
            auto sink = std::make_unique<SmtpPeer>();
            QVERIFY2(sink->start(QStringList{"--certificate", good.certificate, "--key", good.key} + options),
                     qPrintable(sink->output()));
            peers[options.isEmpty() ? "smtp" : "smtps"] = std::move(sink);
        }
    }

    void probe_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("peer"); // "" for a port nobody listens on
        QTest::addColumn<QByteArray>("send");
        QTest::addColumn<bool>("readBody");
        QTest::addColumn<QString>("error"); // what the error text holds; "" for none
        QTest::addColumn<ConnectionTrouble>("trouble");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("goodbye"); // the last line the peer got; "" unchecked
        const ConnectionTrouble none = ConnectionTrouble::None;
        QTest::newRow("tcp connect only")
            << "tcp"
            << "banner" << QByteArray() << false << "" << none << QByteArray() << QByteArray();
        QTest::newRow("tcp banner") << "tcp"
                                    << "banner" << QByteArray() << true << "" << none
                                    << QByteArray("SSH-2.0-Peer\r\n") << QByteArray();
        QTest::newRow("tcp send") << "tcp"
                                  << "echo" << QByteArray("ping\r\n") << false << "" << none
                                  << QByteArray("pong\r\n") << QByteArray("ping\r\n");
        QTest::newRow("tcp refused") << "tcp"
                                     << "" << QByteArray() << false << "Connection Failed"
                                     << ConnectionTrouble::Refused << QByteArray() << QByteArray();
        QTest::newRow("tls") << "tls"
                             << "tls" << QByteArray() << false << "" << none << QByteArray() << QByteArray();
        QTest::newRow("smtp") << "smtp"
                              << "smtp" << QByteArray() << false << "" << none
                              << QByteArray("220 sink.invalid") << QByteArray();
        QTest::newRow("smtps") << "smtps"
                               << "smtps" << QByteArray() << false << "" << none
                               << QByteArray("220 sink.invalid") << QByteArray();
        QTest::newRow("imap") << "imap"
                              << "imap" << QByteArray() << false << "" << none
                              << QByteArray("* OK IMAP ready\r\n") << QByteArray("a2 LOGOUT\r\n");
        QTest::newRow("imaps") << "imaps"
                               << "imaps" << QByteArray() << false << "" << none
                               << QByteArray("* OK IMAP ready\r\n") << QByteArray("a1 LOGOUT\r\n");
        QTest::newRow("pop3") << "pop3"
                              << "pop3" << QByteArray() << false << "" << none
                              << QByteArray("+OK POP3 ready\r\n") << QByteArray("QUIT\r\n");
        QTest::newRow("pop3s untrusted") << "pop3s"
                                         << "pop3s untrusted" << QByteArray() << false << "Connection Failed"
                                         << ConnectionTrouble::Untrusted << QByteArray() << QByteArray();
        QTest::newRow("negative greeting")
            << "smtp"
            << "smtp 554" << QByteArray() << false << "Greeting refused: 554 5.3.2 no service here" << none
            << QByteArray("554 5.3.2 no service here\r\n") << QByteArray("QUIT\r\n");
        QTest::newRow("starttls refused")
            << "smtp"
            << "smtp 454" << QByteArray() << false << "STARTTLS refused: 454 4.7.0 not now" << none
            << QByteArray("220 scripted") << QByteArray("QUIT\r\n");
    }
    void probe() {
        QFETCH(QString, scheme);
        QFETCH(QString, peer);
        QFETCH(QByteArray, send);
        QFETCH(bool, readBody);
        QFETCH(QString, error);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, goodbye);
        const quint16 port = peer.isEmpty() ? PeerProcess::freePort() : peers.at(peer)->port();
        HostLookups lookups;
        TlsTickets tickets;
        StreamProbe probe(lookups, tickets);
        QSignalSpy finished(&probe, &Probe::finished);
        FetchRequest request;
        request.url = QString("%1://127.0.0.1:%2").arg(scheme).arg(port);
        request.send = send;
        request.readBody = readBody;
        // Reused, as the walk reuses a check: the first start is dropped without a word.
        probe.start(request);
        probe.start(request);
        QVERIFY(finished.wait(20000));
        const FetchResult& result = probe.result();
        QVERIFY2(error.isEmpty() ? result.errorText.isEmpty() : result.errorText.startsWith(error),
                 qPrintable(result.errorText));
        QTEST(result.trouble, "trouble");
        QVERIFY2(probe.reply().startsWith(reply), probe.reply().constData());
        QCOMPARE(result.port, port);
        QCOMPARE(result.remoteAddress, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(result.connectMs.has_value(), !peer.isEmpty());
        QCOMPARE(result.tlsMs.has_value(), scheme != "tcp" && error.isEmpty());
        if (scheme == "tls")
            QVERIFY(qAbs(QDateTime::currentDateTimeUtc().daysTo(result.certificateExpiry) - 2) <= 1);
        if (!goodbye.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(lastRecord(peer).endsWith(goodbye), 20000);
        QCOMPARE(finished.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TstStreamProbe)
#include "tst_stream_probe.moc"
