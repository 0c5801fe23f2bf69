// The mail client against the scripted mail server (exact bytes, refusals, silence) and against
// aiosmtpd (a real delivery), all on 127.0.0.1.
#include "net/TNMSMTP.h"
#include "support/net/Raised.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/SmtpPeer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
QJsonObject mailServer(const QJsonObject& answers = {}, const QString& silent = {},
                       const QString& greeting = "220 ready\r\n") {
    QJsonObject script{{"mode", "smtp"}, {"greeting", greeting}, {"answers", answers}};
    if (!silent.isEmpty())
        script["silent"] = silent;
    return script;
}

// The conversation the peer had, once the client has closed it.
QByteArray talk(ScriptedPeer& peer) {
    if (!QTest::qWaitFor([&] { return !peer.requests().isEmpty(); }, 20000))
        return "<the connection was never closed>";
    return peer.requests().first();
}

// The conversation with the message text between DATA and "." left out.
QByteArray commandsOf(const QByteArray& conversation) {
    const qsizetype data = conversation.indexOf("DATA\r\n");
    const qsizetype end = conversation.indexOf("\r\n.\r\n", data);
    if (data < 0 || end < 0)
        return conversation;
    return conversation.left(data + 6) + conversation.mid(end + 2);
}

QString error(const std::function<void()>& operation) {
    return raised<std::exception>(operation);
}

const QByteArray Delivery = "HELO me\r\nRSET\r\nMAIL FROM:<ann@a.invalid>\r\nRCPT TO:<bob@b.invalid>\r\n"
                            "RCPT TO:<carl@c.invalid>\r\nDATA\r\n.\r\nQUIT\r\n";
} // namespace

class TestNMSMTP : public QObject {
    Q_OBJECT
    std::unique_ptr<TNMSMTP> smtp;
    QStringList events;

    void connectTo(const PeerProcess& peer) {
        smtp->Host = "127.0.0.1";
        smtp->Port = peer.port();
        smtp->UserID = "me";
        smtp->Connect();
    }

    // Records what is said, and what fails, in one list.
    void attempt(const std::function<void()>& operation) {
        const QString text = error(operation);
        if (text != "<nothing raised>")
            events << "error " + text;
    }

private slots:
    void init() {
        smtp = std::make_unique<TNMSMTP>();
        events.clear();
        smtp->OnHostResolved = [this](QObject*) { events << "resolved"; };
        smtp->OnConnect = [this](QObject*) { events << "connect"; };
        smtp->OnSendStart = [this](QObject*) { events << "send start"; };
        smtp->OnRecipientNotFound = [this](const QString& entry) { events << "not found " + entry; };
        smtp->OnPacketSent = [this](QObject*) { events << "packet"; };
        smtp->OnSuccess = [this](QObject*) { events << "success"; };
        smtp->OnFailure = [this](QObject*) { events << "failure"; };
        smtp->OnDisconnect = [this](QObject*) { events << "disconnect"; };
        smtp->OnEncodeStart = [this](const QString& file) { events << "encode start " + file; };
        smtp->OnEncodeEnd = [this](const QString& file) { events << "encode end " + file; };
        smtp->OnAttachmentNotFound = [this](const QString& file) { events << "missing " + file; };
        TPostMessage& m = smtp->PostMessage;
        m.FromName = "Ann ";
        m.FromAddress = "ann@a.invalid";
        m.ToAddress = {"bob@b.invalid", "carl@c.invalid"};
        m.Body = {"body"};
    }

    void wholeDelivery() {
        ScriptedPeer peer(mailServer());
        QVERIFY(peer.start());
        smtp->Host = "localhost";
        smtp->Port = peer.port();
        smtp->UserID = "me\r\nRSET"; // line breaks in values can add no command and no header line
        smtp->Connect();
        TPostMessage& m = smtp->PostMessage;
        m.FromAddress = "ann@a.invalid\r\n";
        m.ToAddress = {"Bob <bob@b.invalid>", "SMTP:carl@c.invalid"};
        m.ToCarbonCopy = {"dora@d.invalid"};
        m.ToBlindCarbonCopy = {"eve@e.invalid", ""};
        m.Subject = "Alarm\r\nBcc: x@x.invalid";
        m.LocalProgram = QString(20000, 'k'); // a long header goes out whole
        m.Date = "Mon, 7 Dec 2026 10:00:00 +0000";
        m.MessageID = "<1@a.invalid>";
        m.Body = {"\n\nfirst", ".", "\r.\r", "last"};
        smtp->OnSendStart = [this](QObject*) {
            events << "send start";
            smtp->DeliverMessage(); // one delivery at a time: this does nothing
        };
        smtp->OnPacketSent = [this](QObject*) {
            events << QStringLiteral("%1 of %2 bytes").arg(smtp->BytesSent).arg(smtp->BytesTotal);
        };
        smtp->DeliverMessage();
        QVERIFY(m.ToAddress.isEmpty() && m.ToCarbonCopy.isEmpty() && m.ToBlindCarbonCopy.isEmpty());
        QCOMPARE(m.Body.size(), 4);
        smtp->Disconnect();
        QCOMPARE(talk(peer).replace(QByteArray(20000, 'k'), "<20000 k>"),
                 "HELO meRSET\r\n"
                 "RSET\r\n"
                 "MAIL FROM:<ann@a.invalid>\r\n"
                 "RCPT TO:<bob@b.invalid>\r\n"
                 "RCPT TO:<carl@c.invalid>\r\n"
                 "RCPT TO:<dora@d.invalid>\r\n"
                 "RCPT TO:<eve@e.invalid>\r\n"
                 "DATA\r\n"
                 "From: Ann <ann@a.invalid  >\r\n"
                 "To: Bob <bob@b.invalid>,SMTP:carl@c.invalid\r\n"
                 "CC: dora@d.invalid\r\n"
                 "Subject: Alarm  Bcc: x@x.invalid\r\n"
                 "X-Mailer: <20000 k>\r\n"
                 "Date: Mon, 7 Dec 2026 10:00:00 +0000\r\n"
                 "Message-ID: <1@a.invalid>\r\n"
                 "Mime-Version: 1.0\r\n"
                 "Content-Type: text/plain;                        charset=us-ascii\r\n"
                 "\r\n"
                 "\r\n"
                 "\r\n\r\nfirst\r\n"
                 "..\r\n"
                 "\r\n..\r\n\r\n"
                 "last\r\n"
                 ".\r\n"
                 "QUIT\r\n");
        QCOMPARE(events, QStringList({"resolved", "connect", "send start", "29 of 29 bytes", "success",
                                      "disconnect"}));
    }

    void continuationLines() {
        ScriptedPeer peer(mailServer({{"HELO", "250-hello\r\n250-more\r\n251 ok"}, {"RSET", "452 busy"}}, {},
                                     "220-first\r\n folded\r\n220 last\r\n"));
        QVERIFY(peer.start());
        connectTo(peer);
        QCOMPARE(smtp->ReplyNumber, 250);
        // Read out of step, RSET would get a line of the greeting or of HELO as its reply.
        QCOMPARE(error([&] { smtp->DeliverMessage(); }), "452 busy\r\n");
    }

    void refusals_data() {
        QTest::addColumn<QString>("greeting");
        QTest::addColumn<QJsonObject>("answers");
        QTest::addColumn<bool>("retryHelo");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QByteArray>("commands");
        const QString ready = "220 ready\r\n";
        const QStringList delivered = {"connect", "send start", "packet", "success", "disconnect"};
        const QByteArray rset = "HELO me\r\nRSET\r\n";
        const QByteArray noText = Delivery.left(Delivery.indexOf(".\r\n")) + "QUIT\r\n";
        QTest::newRow("greeting") << "421 busy\r\n"
                                  << QJsonObject() << false
                                  << QStringList({"disconnect", "error 421 busy\r\n"})
                                  << QByteArray("QUIT\r\n");
        QTest::newRow("HELO") << ready << QJsonObject{{"HELO", "550 who"}} << false
                              << QStringList({"disconnect", "error Authentication failed"})
                              << QByteArray("HELO me\r\nQUIT\r\n");
        QTest::newRow("HELO twice") << ready << QJsonObject{{"HELO", "550 who"}} << true
                                    << QStringList(
                                           {"auth failed", "disconnect", "error Authentication failed"})
                                    << QByteArray("HELO me\r\nHELO you\r\nQUIT\r\n");
        QTest::newRow("HELO once") << ready << QJsonObject{{"HELO me", "550 who"}} << true
                                   << QStringList({"auth failed"}) + delivered
                                   << "HELO me\r\nHELO you\r\n" + Delivery.mid(9);
        QTest::newRow("RSET") << ready << QJsonObject{{"RSET", "451 later"}} << false
                              << QStringList({"connect", "send start", "error 451 later\r\n", "disconnect"})
                              << rset + "QUIT\r\n";
        QTest::newRow("MAIL") << ready << QJsonObject{{"MAIL", "553 bad sender"}} << false
                              << QStringList(
                                     {"connect", "send start", "error 553 bad sender\r\n", "disconnect"})
                              << rset + "MAIL FROM:<ann@a.invalid>\r\nQUIT\r\n";
        QTest::newRow("one recipient")
            << ready << QJsonObject{{"RCPT TO:<carl@c.invalid>", "550 unknown"}} << false
            << QStringList(
                   {"connect", "send start", "not found carl@c.invalid", "packet", "success", "disconnect"})
            << Delivery;
        QTest::newRow("every recipient")
            << ready << QJsonObject{{"RCPT", "550 unknown"}, {"DATA", "503 no recipients"}} << false
            << QStringList({"connect", "send start", "not found bob@b.invalid", "not found carl@c.invalid",
                            "error 503 no recipients\r\n", "disconnect"})
            << noText;
        QTest::newRow("DATA") << ready << QJsonObject{{"DATA", "554 no"}} << false
                              << QStringList({"connect", "send start", "error 554 no\r\n", "disconnect"})
                              << noText;
        QTest::newRow("message") << ready << QJsonObject{{".", "554 spam"}} << false
                                 << QStringList({"connect", "send start", "packet", "failure",
                                                 "error 554 spam\r\n", "disconnect"})
                                 << Delivery;
        QTest::newRow("QUIT") << ready << QJsonObject{{"QUIT", "500 stay"}} << false
                              << delivered + QStringList({"error 500 stay\r\n"}) << Delivery;
        QTest::newRow("just below every limit")
            << ready
            << QJsonObject{{"HELO", "299 hm"},
                           {"RSET", "399 hm"},
                           {"RCPT TO:<bob@b.invalid>", "300 hm"},
                           {"RCPT TO:<carl@c.invalid>", "301 moved"},
                           {".", "399 hm"},
                           {"QUIT", "339 hm"}}
            << false
            << QStringList(
                   {"connect", "send start", "not found carl@c.invalid", "packet", "success", "disconnect"})
            << Delivery;
    }

    void refusals() {
        QFETCH(QString, greeting);
        QFETCH(QJsonObject, answers);
        QFETCH(bool, retryHelo);
        QFETCH(QStringList, log);
        QFETCH(QByteArray, commands);
        ScriptedPeer peer(mailServer(answers, {}, greeting));
        QVERIFY(peer.start());
        if (retryHelo)
            smtp->OnAuthenticationFailed = [this](bool& handled) {
                events << "auth failed";
                smtp->UserID = "you";
                handled = true;
            };
        attempt([&] { connectTo(peer); });
        if (smtp->Connected)
            attempt([&] { smtp->DeliverMessage(); });
        if (smtp->Connected)
            attempt([&] { smtp->Disconnect(); });
        QCOMPARE(events, log);
        QVERIFY(!smtp->Connected);
        QCOMPARE(commandsOf(talk(peer)), commands);
    }

    void incompleteMessage() {
        QCOMPARE(error([&] { smtp->DeliverMessage(); }), "Not Connected");
        QVERIFY(!smtp->FinalHeader.isEmpty()); // the message is built before the connection is tested
        ScriptedPeer peer(mailServer());
        QVERIFY(peer.start());
        connectTo(peer);
        smtp->PostMessage.FromAddress.clear();
        smtp->PostMessage.ToAddress.clear();
        QList<int> asked;
        smtp->OnHeaderIncomplete = [&](bool& handled, int hiType) {
            asked << hiType;
            smtp->PostMessage.FromAddress = "ann@a.invalid";
            handled = true;
        };
        // One chance only: the recipient is still missing afterwards.
        QCOMPARE(error([&] { smtp->DeliverMessage(); }), "Incomplete Header");
        QCOMPARE(asked, QList<int>({1}));
        smtp->Disconnect();
        QCOMPARE(talk(peer), "HELO me\r\nQUIT\r\n");
    }

    void abortWhileIdle() {
        ScriptedPeer peer(mailServer());
        QVERIFY(peer.start());
        connectTo(peer);
        smtp->Abort();
        QVERIFY(!smtp->Connected);
        QCOMPARE(events, QStringList({"connect", "disconnect"}));
        QCOMPARE(talk(peer), "HELO me\r\n"); // no QUIT
    }

    // A server that stops answering: the wait ends by the time-out or by an Abort made while the
    // client waits. The short limit is armed only by the server's last answer before it goes
    // silent, so a slow machine cannot end an earlier wait.
    void silentServer_data() {
        QTest::addColumn<QString>("greeting");
        QTest::addColumn<QString>("silentAt");
        QTest::addColumn<QString>("armedBy");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("byAbort");
        const QString ready = "220 ready\r\n";
        for (const bool byAbort : {false, true}) {
            const char* how = byAbort ? "abort" : "time-out";
            QTest::addRow("no greeting, %s", how)
                << QString() << QString() << QString() << QString("Connect") << byAbort;
            QTest::addRow("silent at DATA, %s", how)
                << ready << QString("DATA") << QString("250 recipient ok") << QString("DeliverMessage")
                << byAbort;
            QTest::addRow("silent at QUIT, %s", how)
                << ready << QString("QUIT") << QString("250 hello") << QString("Disconnect") << byAbort;
        }
    }

    void silentServer() {
        QFETCH(QString, greeting);
        QFETCH(QString, silentAt);
        QFETCH(QString, armedBy);
        QFETCH(QString, failing);
        QFETCH(bool, byAbort);
        ScriptedPeer peer(
            mailServer({{"HELO", "250 hello"}, {"RCPT", "250 recipient ok"}}, silentAt, greeting));
        QVERIFY(peer.start());
        smtp->PostMessage.ToAddress = {"bob@b.invalid"};
        bool armed = false, aborted = false;
        const auto arm = [&] {
            armed = true;
            smtp->TimeOut = byAbort ? 0 : 300;
        };
        if (armedBy.isEmpty())
            arm();
        smtp->ReportLevel = 8;
        smtp->OnStatus = [&](QObject*, const QString& text) {
            if (!armed && text.startsWith(armedBy))
                arm();
            else if (armed && byAbort && !aborted && text == "ReadLn") {
                aborted = true;
                QTimer::singleShot(0, smtp.get(), [this] { smtp->Abort(); });
            }
        };
        const QList<std::pair<QString, std::function<void()>>> steps = {
            {"Connect", [&] { connectTo(peer); }},
            {"DeliverMessage", [&] { smtp->DeliverMessage(); }},
            {"Disconnect", [&] { smtp->Disconnect(); }}};
        for (const auto& [name, step] : steps) {
            if (name == failing) {
                QCOMPARE(error(step), "Socket readln aborted");
                break;
            }
            if (name != "DeliverMessage")
                QCOMPARE(error(step), "<nothing raised>");
        }
        QCOMPARE(smtp->TimerExpired, !byAbort);
        QCOMPARE(smtp->Connected, failing == "DeliverMessage"); // closing is the caller's business
        if (failing == "Connect")
            QCOMPARE(talk(peer), ""); // nobody answered the greeting, so no QUIT was waited for
    }

    void serverClosesAtOnce() {
        ScriptedPeer peer(QJsonObject{{"mode", "raw"}, {"close", true}});
        QVERIFY(peer.start());
        smtp->TimeOut = 0; // only the close can end the wait for the greeting
        attempt([&] { connectTo(peer); });
        QCOMPARE(events.last(), "error Connection closed before a complete reply");
        QCOMPARE(smtp->Trouble, ConnectionTrouble::ClosedBeforeReply);
        QVERIFY(!smtp->Connected);
    }

    void attachments_data() {
        QTest::addColumn<bool>("uuCode");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QByteArray>("full");
        QTest::addColumn<QByteArray>("empty");
        QTest::newRow("base64") << false << QByteArray("base64")
                                << QByteArray("YWFh").repeated(15) + "\r\nYQ==\r\n"
                                << QByteArray();
        QTest::newRow("uuencode") << true << QByteArray("x-uuencode")
                                  << "M" + QByteArray("86%A").repeated(15) + "\r\n!80\r\n`\r\n"
                                  << QByteArray("`\r\n");
    }

    void attachments() {
        QFETCH(bool, uuCode);
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, full);
        QFETCH(QByteArray, empty);
        QTemporaryDir dir;
        const QString full46 = dir.filePath("a.bin"), none = dir.filePath("empty.txt");
        for (const auto& [path, content] : {std::pair{full46, QByteArray(46, 'a')}, {none, QByteArray()}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        ScriptedPeer peer(mailServer());
        QVERIFY(peer.start());
        connectTo(peer);
        smtp->EncodeType = uuCode ? UUMethods::uuCode : UUMethods::uuMime;
        smtp->PostMessage.ToAddress = {"bob@b.invalid"};
        smtp->PostMessage.Attachments = {full46, none};
        smtp->DeliverMessage();
        smtp->Disconnect();
        const QByteArray b = smtp->MimeBoundary.toLatin1();
        QVERIFY2(b.startsWith("====================54535") && b.endsWith("====") && b.size() > 29,
                 b.constData());
        const auto part = [&](const QByteArray& name) {
            return "--" + b + "\r\nContent-Type: application/octet-stream;          name=\"" + name +
                   "\"\r\nContent-Transfer-Encoding: " + encoding +
                   "\r\nContent-Disposition: attachment;                 filename=\"" + name + "\"\r\n\r\n";
        };
        const QByteArray conversation = talk(peer);
        const qsizetype start = conversation.indexOf("DATA\r\n") + 6;
        QCOMPARE(conversation.mid(start, conversation.indexOf("\r\n.\r\n") + 2 - start),
                 "From: Ann <ann@a.invalid>\r\nTo: bob@b.invalid\r\nMime-Version: 1.0\r\n"
                 "Content-Type: multipart/mixed;                   boundary=\"" +
                     b + "\"\r\n\r\n\r\n--" + b +
                     "\r\nContent-Type: text/plain;                        charset=us-ascii\r\n\r\n"
                     "body\r\n" +
                     part("a.bin") + full + part("empty.txt") + empty + "--" + b + "--\r\n");
        QCOMPARE(events, QStringList({"connect", "encode start " + full46, "encode end " + full46,
                                      "encode start " + none, "encode end " + none, "send start", "packet",
                                      "success", "disconnect"}));
    }

    void missingAttachment() {
        ScriptedPeer peer(mailServer());
        QVERIFY(peer.start());
        connectTo(peer);
        QTemporaryDir dir;
        const QString missing = dir.filePath("missing.bin");
        smtp->PostMessage.Attachments = {missing};
        QCOMPARE(error([&] { smtp->DeliverMessage(); }),
                 "Cannot open file \"" + missing + "\". No such file or directory");
        smtp->Disconnect();
        QCOMPARE(events, QStringList({"connect", "missing " + missing, "disconnect"}));
        QCOMPARE(talk(peer), "HELO me\r\nQUIT\r\n"); // nothing of the message was sent
    }

    void realServer() {
        SmtpPeer peer;
        QVERIFY2(peer.start(), qPrintable(peer.output()));
        connectTo(peer);
        smtp->PostMessage.ToAddress = {"Bob <bob@b.invalid>"};
        smtp->PostMessage.ToBlindCarbonCopy = {"eve@e.invalid"};
        smtp->PostMessage.Body = {"\n\nfirst", ".", "last"};
        smtp->DeliverMessage();
        smtp->Disconnect();
        QTRY_COMPARE_WITH_TIMEOUT(peer.mails().size(), 1, 20000);
        const SmtpPeer::Mail mail = peer.mails().first();
        QCOMPARE(mail.from, "ann@a.invalid");
        QCOMPARE(mail.to, QStringList({"bob@b.invalid", "eve@e.invalid"}));
        QVERIFY2(mail.data.startsWith("From: Ann <ann@a.invalid>\r\n"), mail.data.constData());
        QVERIFY2(mail.data.endsWith("\r\n\r\n\r\n\r\nfirst\r\n.\r\nlast\r\n"), mail.data.constData());
        QCOMPARE(events, QStringList({"connect", "send start", "packet", "success", "disconnect"}));
    }
};

QTEST_GUILESS_MAIN(TestNMSMTP)
#include "tst_nmsmtp.moc"
