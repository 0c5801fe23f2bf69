// The outcomes added to the matrix since: a certificate about to expire, a page that is back,
// failures confirmed before they alarm, and servers that refuse HEAD.
#include "support/EngineTestMain.h"
#include "support/FakeDialogs.h"
#include "support/MonitorFixture.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/TestAuthority.h"

#include <QFile>
#include <QJsonObject>
#include <QSslCertificate>

namespace {

// Only the lines of the outcomes these tests look at.
QStringList outcomeLines(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) {
        if (line.startsWith("Failed check") || line.startsWith("Page not found") ||
            line.startsWith("Recovered") || line.startsWith("Certificate"))
            out.append(line);
    }
    return out;
}

} // namespace

class TestOutcomesAdded : public QObject {
    Q_OBJECT
    TestAuthority authority;
    TestAuthority::Issued expiring;
    NginxPeer secure;
    NginxPeer plain;

    void setPage(const QString& name, bool present) {
        if (present)
            plain.addFile(name, "<html>back</html>");
        else
            QFile::remove(plain.root() + "/" + name);
    }

private slots:
    void initTestCase() {
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        authority.trustInThisProcess();
        expiring = authority.issue({"DNS:localhost"}, 5);
        secure.addFile("index.html", "<html>secure</html>");
        QVERIFY2(secure.startSecure(expiring.certificate, expiring.key), qPrintable(secure.output()));
        QVERIFY2(plain.start(), qPrintable(plain.output()));
    }

    void init() { testDialogs() = FakeDialogs(); }

    void certificateAboutToExpire_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<bool>("warned");
        QTest::newRow("within the default 14 days") << "14" << true;
        QTest::newRow("not within 3 days") << "3" << false;
        QTest::newRow("not a number gives 14") << "soon" << true;
    }

    void certificateAboutToExpire() {
        QFETCH(QString, days);
        QFETCH(bool, warned);
        MonitorFixture f;
        const QString url = QString("https://localhost:%1/index.html").arg(secure.port());
        f.addPage(url);
        f.settings().setText("EditCertDays", days);
        const QStringList lines = outcomeLines(f.runCycle());
        const QDateTime expiry = QSslCertificate::fromPath(expiring.certificate).first().expiryDate();
        const qint64 left = QDateTime::currentDateTimeUtc().secsTo(expiry) / (24 * 3600);
        QCOMPARE(lines, warned ? QStringList{QString("Certificate expires in %1 days: %2").arg(left).arg(url)}
                               : QStringList());
        QCOMPARE(f.status(0), warned ? PageStatus::YellowAlarm : PageStatus::Ok);
    }

    // Each letter is one cycle: the page fails (f) or answers (s).
    void failuresConfirmedAndRecovered_data() {
        QTest::addColumn<QString>("failCount");
        QTest::addColumn<QString>("cycles");
        QTest::addColumn<QStringList>("lines"); // "U" stands for the page's address
        QTest::addColumn<QList<int>>("statuses");
        const QString nf = "Page not found: : U";
        QTest::newRow("alarms at once, back after 2")
            << "1"
            << "ffs" << QStringList{nf, nf, "Recovered: U"} << QList<int>{5, 5, 3};
        QTest::newRow("confirmed at the third, none came")
            << "3"
            << "ffs" << QStringList{"Failed check 1 of 3: U", "Failed check 2 of 3: U"}
            << QList<int>{0, 0, 3};
        QTest::newRow("confirmed at the third, and again after")
            << "3"
            << "ffffs"
            << QStringList{"Failed check 1 of 3: U", "Failed check 2 of 3: U", nf, nf, "Recovered: U"}
            << QList<int>{0, 0, 5, 5, 3};
        QTest::newRow("not a number gives 1") << "twice"
                                              << "fs" << QStringList{nf, "Recovered: U"} << QList<int>{5, 3};
    }

    void failuresConfirmedAndRecovered() {
        QFETCH(QString, failCount);
        QFETCH(QString, cycles);
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, statuses);
        MonitorFixture f;
        const QString name = QString("flaky-%1.html").arg(QTest::currentDataTag()).replace(' ', '-');
        const QString url = plain.url(name);
        f.addPage(url);
        f.settings().setText("EditFailCount", failCount);
        QStringList seen;
        QList<int> seenStatuses;
        for (const QChar cycle : cycles) {
            setPage(name, cycle == 's');
            seen += outcomeLines(f.runCycle());
            seenStatuses.append(int(f.status(0)));
        }
        QCOMPARE(seen, lines.replaceInStrings("U", url));
        QCOMPARE(seenStatuses, statuses);
        if (seen.last().startsWith("Recovered"))
            QCOMPARE(f.m().checkState.ErrorText,
                     QString("Recovered after %1 failed checks").arg(cycles.count('f')));
    }

    void aDeletedPageTakesItsCountAlong() {
        MonitorFixture f;
        const QString a = plain.url("gone-a.html"), b = plain.url("gone-b.html");
        f.addPage(a);
        f.addPage(b);
        f.settings().setText("EditFailCount", "3");
        QCOMPARE(outcomeLines(f.runCycle()),
                 (QStringList{"Failed check 1 of 3: " + a, "Failed check 1 of 3: " + b}));
        f.m().pages.deletePage(0);
        QCOMPARE(outcomeLines(f.runCycle()), QStringList{"Failed check 2 of 3: " + b});
        f.addPage(a);
        QCOMPARE(outcomeLines(f.runCycle()),
                 (QStringList{"Page not found: : " + b, "Failed check 1 of 3: " + a}));
    }

    void headRefused_data() {
        QTest::addColumn<QString>("headReply");
        QTest::addColumn<QStringList>("methods");
        QTest::addColumn<int>("status");
        QTest::newRow("405") << "HTTP/1.0 405 Method Not Allowed\r\n\r\n" << QStringList{"HEAD", "GET"} << 3;
        QTest::newRow("501") << "HTTP/1.0 501 Not Implemented\r\n\r\n" << QStringList{"HEAD", "GET"} << 3;
        QTest::newRow("403 stays refused") << "HTTP/1.0 403 Forbidden\r\n\r\n" << QStringList{"HEAD"} << 5;
    }

    // The GET's header counts, and its body is never read: the peer sends the start of a body
    // and then holds the connection open.
    void headRefused() {
        QFETCH(QString, headReply);
        ScriptedPeer peer(QJsonObject{
            {"mode", "http"},
            {"routes",
             QJsonObject{
                 {"*",
                  QJsonObject{{"head", headReply},
                              {"send", "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\nETag: \"v7\"\r\n\r\n"
                                       "the start of a long body"},
                              {"after", "hang"}}}}}});
        QVERIFY(peer.start());
        MonitorFixture f;
        f.addPage(peer.url("/page"));
        f.runCycle();
        QStringList methods;
        for (const QByteArray& request : peer.requests())
            methods.append(QString::fromLatin1(request.left(request.indexOf(' '))));
        QTEST(methods, "methods");
        QTEST(int(f.status(0)), "status");
        if (methods.size() == 2) {
            QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("100000"));
            QVERIFY(f.m().pages.value(PageRecords::Signature, 0).contains("v7"));
        }
    }
};

KORVANE_ENGINE_TEST_MAIN(TestOutcomesAdded)
#include "test_outcomes_added.moc"
