// Alarm mail through servers that want TLS and a login: aiosmtpd with a certificate made for the
// test, and scripted servers for what aiosmtpd will not do, through the real window.
#include "notify/AlarmMailSender.h"
#include "notify/AlarmReport.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/SmtpPeer.h"
#include "support/net/TestAuthority.h"
#include "views/LogView.h"
#include "views/TStatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>

namespace {

const AlarmReport Report{"http://site.example/page", "Page not found: ", 404, {"ops@example.org"}};

void setUpMail(TFormMainWindow& w, quint16 port, const QString& security, const QString& user,
               const QString& password) {
    w.emailSetup.EditEmailHost->setText("127.0.0.1");
    w.emailSetup.EditEmailPort->setText(QString::number(port));
    w.emailSetup.EditEmailID->setText("monitor-host");
    w.emailSetup.Edit1localEMail->setText("monitor@example.org");
    w.emailSetup.ComboEmailSecurity->setCurrentText(security);
    w.emailSetup.EditEmailUser->setText(user);
    w.emailSetup.EditEmailPassword->setText(password);
}

QString lastLogLine(TFormMainWindow& w) {
    w.logTab.Log->flush();
    return w.logTab.Log->toPlainText().trimmed().split('\n').last().section("] ", 1);
}

} // namespace

class TestMailSecurity : public QObject {
    Q_OBJECT
    TestAuthority authority;
    TestAuthority::Issued trusted;
    TestAuthority::Issued own;

private slots:
    void initTestCase() {
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        trusted = authority.issue({"IP:127.0.0.1"});
        own = authority.selfSigned({"IP:127.0.0.1"});
        authority.trustInThisProcess();
    }
    void init() { testDialogs() = FakeDialogs(); }

    void throughAiosmtpd_data() {
        QTest::addColumn<QString>("server"); // T: STARTTLS, I: implicit TLS, S: self-signed, L: login
        QTest::addColumn<QString>("security");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("acceptUntrusted");
        QTest::addColumn<QString>("logged");
        const QString sent = "Email sent sucessfully for http://site.example/page";
        QTest::newRow("STARTTLS with login") << "TL"
                                             << "STARTTLS"
                                             << "s3cret" << false << sent;
        QTest::newRow("implicit TLS with login") << "IL"
                                                 << "TLS"
                                                 << "s3cret" << false << sent;
        QTest::newRow("wrong password")
            << "TL"
            << "STARTTLS"
            << "guess" << false << "Unable to send email: 535 5.7.8 Authentication credentials invalid";
        QTest::newRow("no login offered")
            << "T"
            << "STARTTLS"
            << "s3cret" << false
            << "Unable to send email: The mail server offers no login method we know (AUTH PLAIN or LOGIN)";
        QTest::newRow("untrusted certificate") << "TSL"
                                               << "STARTTLS"
                                               << "s3cret" << false << "Unable to send email: TLS failed: ";
        QTest::newRow("untrusted certificate accepted") << "ISL"
                                                        << "TLS"
                                                        << "s3cret" << true << sent;
    }

    void throughAiosmtpd() {
        QFETCH(QString, server);
        QFETCH(QString, security);
        QFETCH(QString, password);
        QFETCH(bool, acceptUntrusted);
        QFETCH(QString, logged);
        const TestAuthority::Issued& certificate = server.contains('S') ? own : trusted;
        QStringList options{"--certificate", certificate.certificate, "--key", certificate.key};
        if (server.contains('I'))
            options << "--implicit";
        if (server.contains('L'))
            options << "--login"
                    << "ann:s3cret";
        SmtpPeer peer;
        QVERIFY2(peer.start(options), qPrintable(peer.output()));
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        setUpMail(w, peer.port(), security, "ann", password);
        w.connection.CheckBoxAcceptUntrusted->setChecked(acceptUntrusted);
        QSignalSpy steps(w.StatusBar1, &TStatusBar::simpleTextChanged);

        const AlarmMailSender::Outcome outcome = w.mailSender().SendMail(Report);

        QVERIFY2(lastLogLine(w).startsWith(logged), qPrintable(lastLogLine(w)));
        QCOMPARE(outcome.sent, logged.startsWith("Email sent"));
        QCOMPARE(peer.mails().size(), outcome.sent ? 1 : 0);
        QCOMPARE(peer.logins(), outcome.sent ? QStringList{"ann"} : QStringList());
        QStringList shown;
        for (const QList<QVariant>& step : steps)
            shown.append(step.at(0).toString());
        if (outcome.sent)
            QVERIFY2(shown.contains("Logged in"), qPrintable(shown.join(" | ")));
        QCOMPARE(testDialogs().errors, QStringList());
    }

    // What a scripted server received: the password never, before the connection is encrypted,
    // and a refused EHLO falls back to HELO.
    void whatTheServerHears_data() {
        QTest::addColumn<QJsonObject>("answers");
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("security");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QByteArray>("heard");
        QTest::addColumn<QString>("logged");
        const QJsonObject offersLogin{{"EHLO", "250-sink\r\n250 AUTH PLAIN LOGIN\r\n"}};
        QTest::newRow("login offered in the clear, no protection chosen")
            << offersLogin << false << "None"
            << "ann" << QByteArray("EHLO monitor-host\r\nQUIT\r\n")
            << "Unable to send email: No login over a connection that is not encrypted: choose STARTTLS or "
               "TLS";
        QTest::newRow("STARTTLS asked, not offered")
            << offersLogin << false << "STARTTLS"
            << "ann" << QByteArray("EHLO monitor-host\r\nQUIT\r\n")
            << "Unable to send email: The mail server offers no STARTTLS";
        QTest::newRow("EHLO refused, STARTTLS asked")
            << QJsonObject{{"EHLO", "502 not here"}} << false << "STARTTLS"
            << "" << QByteArray("EHLO monitor-host\r\nQUIT\r\n")
            << "Unable to send email: No STARTTLS: the mail server refused EHLO: 502 not here";
        QTest::newRow("EHLO refused over TLS, HELO instead")
            << QJsonObject{{"EHLO", "502 not here"}} << true << "TLS"
            << ""
            << QByteArray(
                   "EHLO monitor-host\r\nHELO monitor-host\r\nRSET\r\nMAIL FROM:<monitor@example.org>\r\n"
                   "RCPT TO:<ops@example.org>\r\nDATA\r\n")
            << "Email sent sucessfully for http://site.example/page";
        QTest::newRow("defaults keep the plain dialogue")
            << offersLogin << false << "None"
            << "" << QByteArray("HELO monitor-host\r\nRSET\r\n")
            << "Email sent sucessfully for http://site.example/page";
    }

    void whatTheServerHears() {
        QFETCH(QJsonObject, answers);
        QFETCH(bool, tls);
        QFETCH(QString, security);
        QFETCH(QString, user);
        QFETCH(QByteArray, heard);
        QFETCH(QString, logged);
        QJsonObject script{{"mode", "smtp"}, {"greeting", "220 ready\r\n"}, {"answers", answers}};
        if (tls)
            script["tls"] = QJsonObject{{"certificate", trusted.certificate}, {"key", trusted.key}};
        ScriptedPeer peer(script);
        QVERIFY(peer.start());
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        setUpMail(w, peer.port(), security, user, "s3cret");
        w.mailSender().SendMail(Report);
        QCOMPARE(lastLogLine(w), logged);
        QTRY_VERIFY(!peer.requests().isEmpty());
        const QByteArray conversation = peer.requests().first();
        QVERIFY2(conversation.startsWith(heard), conversation.constData());
        QVERIFY(!conversation.contains("AUTH") && !conversation.contains("s3cret") &&
                !conversation.contains(QByteArray("s3cret").toBase64()));
    }

    // A server that offers the older LOGIN method only gets the name and the password in turn,
    // each in base64, over TLS.
    void loginMethodInTurns() {
        const QJsonObject answers{{"EHLO", "250-sink\r\n250 AUTH=LOGIN\r\n"},
                                  {"AUTH LOGIN", "334 VXNlcm5hbWU6"},
                                  {"YW5u", "334 UGFzc3dvcmQ6"},
                                  {"czNjcmV0", "235 welcome"}};
        ScriptedPeer peer(
            QJsonObject{{"mode", "smtp"},
                        {"greeting", "220 ready\r\n"},
                        {"answers", answers},
                        {"tls", QJsonObject{{"certificate", trusted.certificate}, {"key", trusted.key}}}});
        QVERIFY(peer.start());
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        setUpMail(w, peer.port(), "TLS", "ann", "s3cret");
        QVERIFY(w.mailSender().SendMail(Report).sent);
        QTRY_VERIFY(!peer.requests().isEmpty());
        QVERIFY(peer.requests().first().startsWith(
            "EHLO monitor-host\r\nAUTH LOGIN\r\nYW5u\r\nczNjcmV0\r\nRSET\r\n"));
    }
};

KORVANE_TEST_MAIN(TestMailSecurity)
#include "test_mail_security.moc"
