// "Send test mail" through the real window, against mail servers on loopback that take the mail,
// refuse it, or are not there.
#include "support/FakeDialogs.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/SmtpPeer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

class TestSendTestMail : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void boxTellsWhatTheServerSaid_data() {
        QTest::addColumn<QString>("server"); // "accepting", "refusing" or "closed"
        QTest::addColumn<QString>("emailOne");
        QTest::addColumn<QString>("box"); // a pattern of the last message box
        // The reply the sender reports last: the answer to the closing QUIT.
        const QString sent = R"(^Test mail sent\. The server said: 250 \S.*$)";
        QTest::newRow("#1 empty: to the sender") << "accepting"
                                                 << "" << sent;
        QTest::newRow("to #1") << "accepting"
                               << "ops@example.org" << sent;
        QTest::newRow("refused at MAIL") << "refusing"
                                         << "ops@example.org"
                                         << R"(^Test mail not sent\. The server said: 554 No thanks$)";
        QTest::newRow("nobody listening") << "closed"
                                          << "ops@example.org"
                                          << R"(^Test mail not sent\. The server said: .+$)";
    }
    void boxTellsWhatTheServerSaid() {
        QFETCH(QString, server);
        QFETCH(QString, emailOne);
        QFETCH(QString, box);
        SmtpPeer accepting;
        ScriptedPeer refusing(QJsonObject{{"mode", "smtp"},
                                          {"greeting", "220 ready\r\n"},
                                          {"answers", QJsonObject{{"MAIL", "554 No thanks"}}}});
        quint16 port = PeerProcess::freePort();
        if (server == "accepting") {
            QVERIFY2(accepting.start(), qPrintable(accepting.output()));
            port = accepting.port();
        } else if (server == "refusing") {
            QVERIFY(refusing.start());
            port = refusing.port();
        }
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.emailSetup.EditEmailHost->setText("127.0.0.1");
        w.emailSetup.EditEmailPort->setText(QString::number(port));
        w.emailSetup.EditEmailID->setText("monitor-host");
        w.emailSetup.Edit1localEMail->setText("monitor@example.org");
        w.sendingEmail.EditEMail1->setText(emailOne);

        QTest::keyClick(w.emailSetup.ButtonSendTestMail, Qt::Key_Space);
        QVERIFY(!testDialogs().messages.isEmpty());
        const QString shown = testDialogs().messages.last();
        QVERIFY2(QRegularExpression(box).match(shown).hasMatch(), qPrintable(shown));
        QVERIFY(w.emailSetup.ButtonSendTestMail->isEnabled());
        if (server != "accepting")
            return;
        QTRY_COMPARE(accepting.mails().size(), 1);
        const SmtpPeer::Mail mail = accepting.mails().front();
        QCOMPARE(mail.to, QStringList{emailOne.isEmpty() ? "monitor@example.org" : emailOne});
        QVERIFY(mail.data.contains("http://www.example.com/:"));
        QVERIFY(mail.data.contains("Test mail from Korvane"));
    }
};

KORVANE_TEST_MAIN(TestSendTestMail)
#include "test_send_test_mail.moc"
