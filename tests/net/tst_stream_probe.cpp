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
        QTest::addColumn<QString>("parsed"); // dialect, TLS, host and port; "" when refused
        const char* rows[][2] = {
            {"tcp://db.example.org:5432", "0 0 db.example.org:5432"},
            {"TLS://[::1]:8443/", "0 1 [::1]:8443"},
            {"smtps://mx.example.org", "1 1 mx.example.org:465"},
            {"imaps://mx", "2 1 mx:993"},
            {"pop3s://mx", "3 1 mx:995"},
            {"smtp://mx:587", "1 2 mx:587"},
            {"imap://mx", "2 2 mx:143"},
            {"pop3://mx/", "3 2 mx:110"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[0] << row[1];
        for (const char* url :
             {"tcp://db.example.org", "tls://[::1]", "tcp://h:0", "tcp://h:65536", "tcp://h:+25",
              "smtp://:25", "imap://h/INBOX", "pop3://me@h", "tls://[::1:443", "https://h/"})
            QTest::newRow(url) << url << "";
    }
    void address() {
        QFETCH(QString, url);
        QFETCH(QString, parsed);
        if (parsed.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, StreamAddress::parse(url));
            return;
        }
        const StreamAddress a = StreamAddress::parse(url);
        QCOMPARE(QString("%1 %2 %3:%4").arg(int(a.dialect)).arg(int(a.tls)).arg(a.host).arg(a.port), parsed);
    }

    void dialogue_data() {
        QTest::addColumn<QString>("lines"); // the server's, split at "|"; "" where the handshake is done
        QTest::addColumn<QString>("said");  // what went out; "TLS" where the handshake was asked for
        QTest::addColumn<QString>("error");
        // Each row's name begins with the scheme spoken.
        const char* rows[][4] = {
            {"smtp", "220-mx|220 ready|250-mx|250 STARTTLS|220 go|", "EHLO me|STARTTLS|TLS|QUIT", ""},
            {"smtps", "220 ready", "QUIT", ""},
            {"smtp no starttls", "220 ready|250 mx", "EHLO me|QUIT",
             "STARTTLS refused: The mail server offers no STARTTLS"},
            {"smtp refused", "220 a|250-mx|250 STARTTLS|454 no", "EHLO me|STARTTLS|QUIT",
             "STARTTLS refused: 454 no"},
            {"smtps past 16 bits", "99999 hi", "QUIT", "Greeting refused: 99999 hi"},
            {"imap", "* OK IMAP|* CAPABILITY IMAP4rev1|A1 ok begin|", "a1 STARTTLS|TLS|a2 LOGOUT", ""},
            {"imaps preauth", "* PREAUTH hi", "a1 LOGOUT", ""},
            {"imap bye", "* BYE busy", "a1 LOGOUT", "Greeting refused: * BYE busy"},
            {"imap refused", "* OK|a1 BAD no", "a1 STARTTLS|a2 LOGOUT", "STARTTLS refused: a1 BAD no"},
            {"pop3", "+OK POP3|+OK go|", "STLS|TLS|QUIT", ""},
            {"pop3 refused", "+OK|-ERR no", "STLS|QUIT", "STARTTLS refused: -ERR no"},
            {"pop3s +OKAY", "+OKAY", "QUIT", "Greeting refused: +OKAY"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3];
        QTest::newRow("smtps quoted short") << "554 " + QString(300, 'x') << "QUIT"
                                            << "Greeting refused: 554 " + QString(196, 'x');
    }
    void dialogue() {
        QFETCH(QString, lines);
        const StreamAddress address =
            StreamAddress::parse(QString(QTest::currentDataTag()).section(' ', 0, 0) + "://h");
        GreetingDialogue dialogue;
        QStringList said;
        QString error;
        GreetingDialogue::Step step = dialogue.begin(address.dialect, address.tls == Tls::Upgrade, "me");
        for (const QString& line : lines.split('|')) {
            step = line.isEmpty() ? dialogue.tlsStarted() : dialogue.take(line + "\r\n");
            if (!step.send.isEmpty())
                said << step.send;
            if (step.kind == GreetingDialogue::Kind::StartTls)
                said << "TLS";
            error = step.error;
        }
        QCOMPARE(step.kind, GreetingDialogue::Kind::Done);
        QTEST(said.join('|'), "said");
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
        QTest::addColumn<QString>("error"); // how the error text begins; "" for none
        QTest::addColumn<ConnectionTrouble>("trouble");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("goodbye"); // the end of what the peer got; "" unchecked
        using T = ConnectionTrouble;
        const struct {
            const char *name, *scheme, *peer, *send;
            bool readBody;
            const char* error;
            T trouble;
            const char *reply, *goodbye;
        } rows[] = {
            {"tcp connect only", "tcp", "banner", "", false, "", T::None, "", ""},
            {"tcp banner", "tcp", "banner", "", true, "", T::None, "SSH-2.0-Peer\r\n", ""},
            {"tcp send", "tcp", "echo", "ping\r\n", false, "", T::None, "pong\r\n", ""},
            {"tcp refused", "tcp", "", "", false, "Connection Failed", T::Refused, "", ""},
            {"tls", "tls", "tls", "", false, "", T::None, "", ""},
            {"smtp", "smtp", "smtp", "", false, "", T::None, "220 sink.invalid", ""},
            {"smtps", "smtps", "smtps", "", false, "", T::None, "220 sink.invalid", ""},
            {"imap", "imap", "imap", "", false, "", T::None, "* OK IMAP ready\r\n", "a2 LOGOUT\r\n"},
            {"imaps", "imaps", "imaps", "", false, "", T::None, "* OK IMAP ready\r\n", "a1 LOGOUT\r\n"},
            {"pop3", "pop3", "pop3", "", false, "", T::None, "+OK POP3 ready\r\n", "QUIT\r\n"},
            {"pop3s untrusted", "pop3s", "pop3s untrusted", "", false, "Connection Failed", T::Untrusted, "",
             ""},
            {"negative greeting", "smtp", "smtp 554", "", false,
             "Greeting refused: 554 5.3.2 no service here", T::None, "554 5.3.2 no service here\r\n",
             "QUIT\r\n"},
            {"starttls refused", "smtp", "smtp 454", "", false, "STARTTLS refused: 454 4.7.0 not now",
             T::None, "220 scripted", "QUIT\r\n"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.scheme << row.peer << QByteArray(row.send) << row.readBody
                                    << row.error << row.trouble << QByteArray(row.reply)
                                    << QByteArray(row.goodbye);
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
