// The alarm mail of a cycle leaves after the cycle's own code has returned, never inside it, and
// reaches a real mail server (STARTTLS and a login) as the waiting client's mail does.
#include "check/AlarmDispatch.h"
#include "notify/AlarmMailSender.h"
#include "notify/AlarmReport.h"
#include "support/EngineTestMain.h"
#include "support/MonitorFixture.h"
#include "support/net/SmtpPeer.h"
#include "support/net/TestAuthority.h"

#include <QRegularExpression>
#include <QSignalSpy>

namespace {
QStringList texts(QSignalSpy& spy) {
    QStringList out;
    for (const QList<QVariant>& args : std::as_const(spy))
        out.append(args.at(0).toString());
    spy.clear();
    return out;
}

// The message as sent, but for the two lines that differ from mail to mail.
QByteArray withoutDateAndId(QByteArray data) {
    return QString::fromLatin1(data).remove(QRegularExpression("(Date|Message-ID): [^\r]*\r\n")).toLatin1();
}
} // namespace

class TestCycleMail : public QObject {
    Q_OBJECT
    TestAuthority authority;

private slots:
    void cycleMailLeavesAfterTheCycleAsTheWaitingClientSendsIt() {
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        const TestAuthority::Issued trusted = authority.issue({"IP:127.0.0.1"});
        authority.trustInThisProcess();
        SmtpPeer peer;
        QVERIFY2(
            peer.start({"--certificate", trusted.certificate, "--key", trusted.key, "--login", "ann:s3cret"}),
            qPrintable(peer.output()));
        MonitorFixture fixture;
        fixture.setUpMail(peer.port());
        Settings& settings = fixture.settings();
        settings.setText("ComboEmailSecurity", "STARTTLS");
        settings.setText("EditEmailUser", "ann");
        settings.setText("EditEmailPassword", "s3cret");
        Monitor& w = fixture.m();
        const int page = w.pages.addPage("http://site.example/page", false, false, false);
        w.checkState.ListedURL = "http://site.example/page";
        w.checkState.ErrorText = "Page not found: ";
        w.checkState.ReplyNumber = 404;
        w.checkState.ToAddress = {"ops@example.org"};
        w.checkState.SendMail = true;
        QSignalSpy steps(&w.statusLine, &StatusLine::textSet);
        QSignalSpy ended(&w.mailSender(), &AlarmMailSender::mailEnded);

        w.alarmDispatch().afterPage(page);
        // Nothing of the mail has happened yet: each of its steps runs from the event loop.
        QCOMPARE(texts(steps), QStringList{"Sending Email "});
        QVERIFY(!w.mailSender().MailQueueEmpty());
        QVERIFY(ended.wait(30000));
        QVERIFY(w.mailSender().MailQueueEmpty());
        const QStringList queuedSteps = texts(steps);

        QVERIFY(w.mailSender()
                    .SendMail({"http://site.example/page", "Page not found: ", 404, {"ops@example.org"}})
                    .sent);
        QCOMPARE(texts(steps), queuedSteps);
        QVERIFY2(queuedSteps.contains("Logged in"), qPrintable(queuedSteps.join(" | ")));
        QCOMPARE(fixture.logLines().count("Email sent sucessfully for http://site.example/page"), 2);
        QTRY_COMPARE(peer.mails().size(), 2);
        QCOMPARE(peer.logins(), QStringList({"ann", "ann"}));
        const SmtpPeer::Mail queued = peer.mails().at(0);
        const SmtpPeer::Mail waited = peer.mails().at(1);
        QCOMPARE(queued.from, waited.from);
        QCOMPARE(queued.to, waited.to);
        QCOMPARE(withoutDateAndId(queued.data), withoutDateAndId(waited.data));
    }
};

KORVANE_ENGINE_TEST_MAIN(TestCycleMail)
#include "test_cycle_mail.moc"
