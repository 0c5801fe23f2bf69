// Servers that misbehave on purpose, checked through the real window: each is cut off at once or
// when its time is up, classified as the user would expect, and costs no more than a bound of
// memory; the page after it is checked as usual.
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"
#include "net/ByteQueue.h"
#include "net/TNMSMTP.h"
#include "net/TlsWarmUp.h"
#include "support/EngineTestMain.h"
#include "support/FakeDialogs.h"
#include "support/MailWait.h"
#include "support/MonitorFixture.h"
#include "support/ResidentMemory.h"
#include "support/net/ScriptedPeer.h"

#include <QBuffer>
#include <QJsonObject>
#include <QScopeGuard>

Q_DECLARE_METATYPE(PageOptions)

namespace {

QJsonObject serving(const QJsonObject& hostile) {
    const QJsonObject ok{{"send", "HTTP/1.0 200 OK\r\n\r\n"}};
    return {{"mode", "http"}, {"routes", QJsonObject{{"/next", ok}, {"*", hostile}}}};
}

// The reply code the history kept for the page, from its export.
QByteArray keptCode(MonitorFixture& f, const QString& url) {
    f.m().history().flush();
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    exportHistory(f.m().history().path(), csv);
    for (const QByteArray& row : csv.data().split('\n'))
        if (row.contains(url.toUtf8()))
            return row.split(',').value(3);
    return {};
}

} // namespace

class TestHostilePeers : public QObject {
    Q_OBJECT

private slots:
    // TLS is loaded once a run, at the first https page; what that costs is not the peers'.
    void initTestCase() {
        bool loaded = false;
        TlsWarmUp::whenReady(this, [&] { loaded = true; });
        QTRY_VERIFY(loaded);
    }

    void misbehaviours_data() {
        QTest::addColumn<QJsonObject>("hostile");
        QTest::addColumn<PageOptions>("options");
        // The peer serves the page; or it is the proxy of an https page, or the mail server of the
        // page's alarm.
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QByteArray>("code"); // as the history keeps it

        const QString ok = "HTTP/1.0 200 OK\r\n\r\n";
        PageOptions pattern, stalled;
        pattern.mustNotContain = "(a+)+b";
        pattern.regularExpression = true;
        stalled.mustContain = "</html>";
        stalled.timeOut = "1";
        const QJsonObject flood{{"send", "HTTP/1.1 200 OK\r\nX-Long: "}, {"flood", "x"}};
        QTest::newRow("endless header line")
            << flood << PageOptions() << ""
            << "Connection failed: response header too large" << QByteArray("0");
        QTest::newRow("100,000 header lines")
            << QJsonObject{{"send", ok}, {"pad", 2900000}, {"pad_line", "X-Line: aaaaaaaaaaaaaaaaaaaa\r\n"}}
            << PageOptions() << ""
            << "Connection failed: response header too large" << QByteArray("0");
        QTest::newRow("endless body, pattern undecided")
            << QJsonObject{{"send", ok}, {"flood", "a"}} << pattern << ""
            << "Content check failed: pattern could not be decided: (a+)+b" << QByteArray("200");
        QTest::newRow("stalled body")
            << QJsonObject{{"send", ok + "<html>"}, {"after", "hang"}} << stalled << ""
            << "TimedOut after reply 200" << QByteArray("200");
        QTest::newRow("Content-Length: 0, connection kept")
            << QJsonObject{{"send", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"}, {"after", "hang"}}
            << stalled << ""
            << "Content check failed: text not found: </html>" << QByteArray("200");
        QTest::newRow("endless CONNECT answer")
            << flood << PageOptions() << "proxy"
            << "Connection failed: proxy answer too large" << QByteArray("0");
        QTest::newRow("endless mail reply line")
            << QJsonObject{{"mode", "smtp"}, {"greeting", ""}, {"flood", "2"}} << PageOptions() << "mail"
            << "Unable to send email: The server's reply line is longer than 4096 bytes" << QByteArray("404");
        QTest::newRow("mail reply number past 16 bits")
            << QJsonObject{{"mode", "smtp"}, {"greeting", "99999 hi\r\n"}} << PageOptions() << "mail"
            << "Unable to send email" << QByteArray("404");
        QTest::newRow("mail reply a line a while")
            << QJsonObject{{"mode", "smtp"}, {"flood", "250-x\r\n"}, {"every", 1}} << PageOptions() << "mail"
            << "Unable to send email" << QByteArray("404");
    }

    void misbehaviours() {
        QFETCH(QJsonObject, hostile);
        QFETCH(PageOptions, options);
        QFETCH(QString, role);
        QFETCH(QString, logged);
        const bool mail = role == "mail";
        ScriptedPeer peer(mail ? serving({{"send", "HTTP/1.0 404 Not Found\r\n\r\n"}}) : serving(hostile));
        ScriptedPeer mailServer(hostile);
        QVERIFY(peer.start() && (!mail || mailServer.start()));
        MonitorFixture f;
        const QString url =
            role == "proxy" ? QString("https://localhost:%1/").arg(peer.port()) : peer.url("/x");
        f.m().pages.setOptions(f.addPage(url, false, false, false), options);
        f.addPage(peer.url("/next"), false, false, false);
        if (role == "proxy") {
            f.settings().setTick("CheckBoxProxy", true);
            f.settings().setText("EditProxyHost", "127.0.0.1");
            f.settings().setText("EditProxyPort", QString::number(peer.port()));
        } else if (mail) {
            f.setUpMail(mailServer.port());
            f.raise(AlarmCondition::PageNotFound, AlarmReaction::Email1);
            f.m().NMSMTP1->TimeOut = hostile.contains("every") ? 2000 : 5000; // short, should the bound go
        }

        const long before = residentKiB();
        const bool peakReset = resetPeakResident();
        const QStringList lines = runCycleAndMail(f);
        const long growth = peakResidentKiB() - before;
        qInfo("peak resident memory %+ld KiB", growth);
        // A few times the 1 MiB body a page may fill, with room for the sanitizers' bookkeeping.
        QVERIFY2(!peakReset || growth < 64 * 1024, qPrintable(QString::number(growth)));
        QVERIFY2(lines.contains(mail ? logged : logged + ": " + url), qPrintable(lines.join('\n')));
        QCOMPARE(f.status(1), PageStatus::Ok);
        QTEST(keptCode(f, url), "code");
    }

    // A buffer that cannot grow fails its page and says why.
    void fullMemory() {
        ScriptedPeer peer(serving({{"send", "HTTP/1.0 200 OK\r\n\r\n"}, {"pad", 4000}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.addPage(peer.url("/big"), false, false, false);
        f.addPage(peer.url("/next"), false, false, false);
        ByteQueue::failGrowthPast(1024);
        const auto lifted = qScopeGuard([] { ByteQueue::failGrowthPast(-1); });
        QVERIFY(f.runCycle().contains("Connection failed: not enough memory for the response: " +
                                      peer.url("/big")));
        QCOMPARE(f.status(1), PageStatus::Ok);
    }
};

KORVANE_ENGINE_TEST_MAIN(TestHostilePeers)
#include "test_hostile_peers.moc"
