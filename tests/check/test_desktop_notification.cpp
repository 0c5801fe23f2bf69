// The desktop notification at the end of a cycle that raised alarms, against a fake notification
// service on a session bus of the test's own.
#include "CheckFixture.h"
#include "FakeNotifications.h"
#include "support/TestMain.h"
#include "support/desktop/PrivateSessionBus.h"
#include "support/net/NginxPeer.h"

#include <QCheckBox>
#include <QDBusConnectionInterface>
#include <QScopeGuard>
#include <memory>

class TestDesktopNotification : public QObject {
    Q_OBJECT
    PrivateSessionBus bus;
    NginxPeer web;
    std::unique_ptr<FakeNotifications> service;
    int actionsSeen = 0;

    // A page of the peer that answers (o), one it does not have (m) and a port nobody listens on (c).
    QString pageUrl(QChar kind, int n) {
        if (kind == 'o')
            return web.url("ok.html");
        if (kind == 'm')
            return web.url(QString("missing-%1.html?a=1&b=2").arg(n)); // "&" is markup in a body
        return QString("http://127.0.0.1:%1/closed-%2.html").arg(PeerProcess::freePort()).arg(n);
    }

public slots:
    void actionSeen() { ++actionsSeen; }

private slots:
    void initTestCase() {
        QVERIFY(bus.start());
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        service = std::make_unique<FakeNotifications>(bus.address());
        QVERIFY(service->registerService());
        // The program's session bus is made at its first use, here: it must be the test's.
        QDBusConnection session = QDBusConnection::sessionBus();
        QVERIFY(session.interface()->isServiceRegistered("org.freedesktop.Notifications"));
        QVERIFY(session.connect("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                "org.freedesktop.Notifications", "ActionInvoked", this, SLOT(actionSeen())));
        web.addFile("ok.html", "<html>ok</html>");
        QVERIFY2(web.start(), qPrintable(web.output()));
    }

    void init() {
        testDialogs() = FakeDialogs();
        service->received.clear();
    }

    void notifiesOncePerCycle_data() {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<bool>("missingIsYellow");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("body"); // "Pn" stands for the address of page n
        QTest::newRow("two red, one ok")
            << "mom" << false << "Korvane: 2 pages red" << QStringList{"P0", "P2"};
        QTest::newRow("one yellow") << "om" << true << "Korvane: 1 page yellow" << QStringList{"P1"};
        QTest::newRow("red first, three named") << "mcmcm" << true << "Korvane: 2 pages red, 3 yellow"
                                                << QStringList{"P1", "P3", "P0", "and 2 more"};
    }

    void notifiesOncePerCycle() {
        QFETCH(QString, pages);
        QFETCH(bool, missingIsYellow);
        QFETCH(QStringList, body);
        CheckFixture f;
        f.muteSounds();
        f.w().alarms.rows[int(AlarmCondition::PageNotFound)].Red->setChecked(!missingIsYellow);
        f.w().alarms.rows[int(AlarmCondition::PageNotFound)].Yellow->setChecked(missingIsYellow);
        for (int n = 0; n < pages.size(); ++n)
            f.addPage(pageUrl(pages[n], n));
        for (int n = 0; n < pages.size(); ++n)
            body.replaceInStrings(QString("P%1").arg(n), f.w().pages.url(n).toHtmlEscaped());
        // The second cycle's notification takes the place of the first.
        f.runCycle();
        QVERIFY(service->roundTrip());
        f.runCycle();
        QVERIFY(service->roundTrip());
        QCOMPARE(service->received.size(), 2);
        for (const FakeNotifications::Received& r : service->received) {
            QCOMPARE(r.appName, QString("Korvane"));
            QCOMPARE(r.appIcon, QString("org.korvane.Korvane"));
            QTEST(r.summary, "summary");
            QCOMPARE(r.body, body.join('\n'));
            QCOMPARE(r.actions, (QStringList{"default", "Show"}));
            QVERIFY(r.hints.isEmpty());
            QCOMPARE(r.expireTimeout, -1);
        }
        QCOMPARE(service->received[0].replacesId, 0u);
        QCOMPARE(service->received[1].replacesId, service->received[0].id);
        QCOMPARE(testDialogs().errors, QStringList());
    }

    void silentWithNothingToTell_data() {
        QTest::addColumn<QChar>("page");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("serviceOwned");
        QTest::addColumn<QString>("line"); // the cycle's only log line; "U" is the address
        QTest::newRow("no alarm") << QChar('o') << true << true << QString();
        QTest::newRow("box unticked") << QChar('m') << false << true << "Page not found: : U";
        QTest::newRow("no service") << QChar('m') << true << false << "Page not found: : U";
    }

    void silentWithNothingToTell() {
        QFETCH(QChar, page);
        QFETCH(bool, ticked);
        QFETCH(bool, serviceOwned);
        QFETCH(QString, line);
        if (!serviceOwned)
            service->unregisterService();
        const auto reown = qScopeGuard([this] { service->registerService(); });
        CheckFixture f;
        f.muteSounds();
        const QString url = pageUrl(page, 0);
        f.addPage(url);
        QCheckBox* box = f.w().alarms.CheckBoxDesktopNotification;
        QVERIFY(box->isChecked());
        if (!ticked)
            QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(box->isChecked(), ticked);
        const QStringList lines = f.runCycle();
        QCOMPARE(lines, line.isEmpty() ? QStringList() : QStringList{line.replace("U", url)});
        QCOMPARE(testDialogs().errors, QStringList());
        service->roundTrip();
        QVERIFY(service->received.isEmpty());
    }

    void activatingItShowsTheStatusTab_data() {
        QTest::addColumn<uint>("idAfterOurs");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("shown");
        QTest::newRow("ours") << 0u << "default" << true;
        QTest::newRow("another notification") << 1u << "default" << false;
        QTest::newRow("another action") << 0u << "Show" << false;
    }

    void activatingItShowsTheStatusTab() {
        QFETCH(uint, idAfterOurs);
        QFETCH(QString, action);
        QFETCH(bool, shown);
        CheckFixture f;
        f.addPage(pageUrl('m', 0));
        f.runCycle();
        QVERIFY(service->roundTrip());
        QCOMPARE(service->received.size(), 1);
        f.w().hide();
        f.w().PageControl1->setCurrentWidget(f.w().alarms.TabSheet5);
        actionsSeen = 0;
        service->emitActionInvoked(service->received[0].id + idAfterOurs, action);
        QTRY_COMPARE(actionsSeen, 1);
        QTRY_COMPARE(f.w().isVisible(), shown);
        QCOMPARE(f.w().PageControl1->currentWidget(),
                 shown ? f.w().status.TabSheetStatus : f.w().alarms.TabSheet5);
    }
};

KORVANE_TEST_MAIN(TestDesktopNotification)
#include "test_desktop_notification.moc"
