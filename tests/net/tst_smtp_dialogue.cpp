// The mail dialogue on its own: what goes out for each run of server replies, and how it ends.
#include "net/SmtpDialogue.h"

#include <QTest>

using Kind = SmtpDialogue::Kind;

namespace {
QString b64(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toBase64());
}
} // namespace

class TstSmtpDialogue : public QObject {
    Q_OBJECT
private slots:
    void dialogue_data() {
        QTest::addColumn<int>("mode"); // 0 plain, 1 STARTTLS, 2 TLS from the first byte
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("said"); // what went out, and what the driver was asked to do
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("why");
        const QStringList delivery{"250 reset\r\n", "250 sender\r\n", "250 one\r\n", "550 no\r\n",
                                   "354 go\r\n",    "250 queued\r\n", "221 bye\r\n"};
        const QStringList sent{"RSET",
                               "MAIL FROM:<a@x.org>",
                               "RCPT TO:<b@x.org>",
                               "RCPT TO:<c@x.org>",
                               "<refused C <c@x.org>>",
                               "DATA",
                               "<text>",
                               ".",
                               "QUIT"};
        QTest::newRow("plain, a greeting over lines, one recipient refused")
            << 0 << ""
            << QStringList{"220-first\r\n", " indented\r\n", "220 last\r\n", "250-hi\r\n", "250 ok\r\n"} +
                   delivery
            << QStringList{"HELO me"} + sent << int(Kind::Closed) << "";
        QTest::newRow("greeting refused")
            << 0 << "" << QStringList{"421 busy\r\n"} << QStringList{} << int(Kind::Failed) << "421 busy\r\n";
        QTest::newRow("HELO refused")
            << 0 << "" << QStringList{"220 hi\r\n", "501 who\r\n"} << QStringList{"HELO me"}
            << int(Kind::HeloRefused) << "Authentication failed";
        QTest::newRow("STARTTLS, LOGIN asked again after it")
            << 1 << "u"
            << QStringList{"220 hi\r\n", "250-hi\r\n", "250-STARTTLS\r\n",   "250 AUTH PLAIN\r\n",
                           "220 go\r\n", "250-hi\r\n", "250 AUTH=LOGIN\r\n", "334 a\r\n",
                           "334 b\r\n",  "235 in\r\n"} +
                   delivery
            << QStringList{"EHLO host", "STARTTLS", "<tls>", "EHLO host", "AUTH LOGIN", b64("u"), b64("p")} +
                   sent
            << int(Kind::Closed) << "";
        QTest::newRow("TLS from the first byte, PLAIN refused")
            << 2 << "u" << QStringList{"220 hi\r\n", "250-hi\r\n", "250 AUTH LOGIN PLAIN\r\n", "535 no\r\n"}
            << QStringList{"EHLO host", "AUTH PLAIN " + b64(QString(QChar(0)) + "u" + QChar(0) + "p")}
            << int(Kind::Refused) << "535 no\r\n";
        QTest::newRow("no STARTTLS offered")
            << 1 << "" << QStringList{"220 hi\r\n", "250 hi\r\n"} << QStringList{"EHLO host"}
            << int(Kind::Refused) << "The mail server offers no STARTTLS";
        QTest::newRow("EHLO refused before STARTTLS")
            << 1 << "" << QStringList{"220 hi\r\n", "500-no\r\n", "500 really\r\n"}
            << QStringList{"EHLO host"} << int(Kind::Refused)
            << "No STARTTLS: the mail server refused EHLO: 500-no\r\n";
        QTest::newRow("EHLO refused, HELO instead")
            << 2 << "" << QStringList{"220 hi\r\n", "500 no\r\n", "250 ok\r\n"} + delivery
            << QStringList{"EHLO host", "HELO me"} + sent << int(Kind::Closed) << "";
        QTest::newRow("login in the clear") << 0 << "u" << QStringList{"220 hi\r\n", "250 AUTH PLAIN\r\n"}
                                            << QStringList{"EHLO host"} << int(Kind::Refused)
                                            << "No login over a connection that is not encrypted: choose "
                                               "STARTTLS or TLS";
        QTest::newRow("no login method known")
            << 2 << "u" << QStringList{"220 hi\r\n", "250-hi\r\n", "250 AUTH CRAM-MD5\r\n"}
            << QStringList{"EHLO host"} << int(Kind::Refused)
            << "The mail server offers no login method we know (AUTH PLAIN or LOGIN)";
        QTest::newRow("message refused")
            << 0 << ""
            << QStringList{"220 hi\r\n", "250 ok\r\n"} + delivery.mid(0, 5) + QStringList{"554 spam\r\n"}
            << QStringList{"HELO me"} + sent.mid(0, 8) << int(Kind::MessageRefused) << "554 spam\r\n";
        QStringList endless{"220 hi\r\n"};
        for (int i = 0; i < 66; ++i)
            endless.append("250-" + QString(1000, 'x') + "\r\n");
        QTest::newRow("EHLO reply without end")
            << 2 << "" << endless << QStringList{"EHLO host"} << int(Kind::CutOff)
            << "The server's reply is longer than 65536 bytes";
    }
    void dialogue() {
        QFETCH(int, mode);
        QFETCH(QString, user);
        QFETCH(QStringList, replies);
        QFETCH(QStringList, said);
        QFETCH(int, end);
        QFETCH(QString, why);
        SmtpDialogue d;
        QStringList out;
        SmtpDialogue::Step step =
            d.greet({mode != 0 || !user.isEmpty(), mode == 1, mode == 2, "me\r\n", "host", user, "p"});
        for (;;) {
            if (step.kind == Kind::Send)
                out.append(step.text);
            if (step.kind == Kind::Read || step.kind == Kind::Send) {
                QVERIFY2(!replies.isEmpty(), qPrintable(out.join('|')));
                step = d.take(replies.takeFirst());
            } else if (step.kind == Kind::StartTls) {
                out.append("<tls>");
                step = d.tlsStarted();
            } else if (step.kind == Kind::Greeted) {
                step = d.deliver("a@x.org", {"b@x.org", "", "C <c@x.org>"});
            } else if (step.kind == Kind::RecipientRefused) {
                out.append("<refused " + step.text + ">");
                step = d.recipientNoted();
            } else if (step.kind == Kind::SendText) {
                out.append("<text>");
                step = d.textSent();
            } else if (step.kind == Kind::Delivered) {
                step = d.quit();
            } else {
                break;
            }
        }
        QCOMPARE(out, said);
        QCOMPARE(int(step.kind), end);
        QCOMPARE(step.text, why);
        QVERIFY(replies.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstSmtpDialogue)
#include "tst_smtp_dialogue.moc"
