// A desktop without a session bus: a cycle that raises an alarm ends as it does without the
// notification, with no error box and no log line of its own.
#include "support/EngineTestMain.h"
#include "support/FakeDialogs.h"
#include "support/MonitorFixture.h"
#include "support/net/NginxPeer.h"

#include <QDBusConnection>

class TestDesktopNotificationNoBus : public QObject {
    Q_OBJECT
    QTemporaryDir nowhere;
    NginxPeer web;

private slots:
    void initTestCase() {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + nowhere.filePath("bus").toUtf8());
        QVERIFY2(web.start(), qPrintable(web.output()));
    }

    void alarmWithoutBus() {
        MonitorFixture f;
        f.muteSounds();
        const QString url = web.url("missing.html");
        f.addPage(url);
        QVERIFY(f.settings().tick("CheckBoxDesktopNotification"));
        QCOMPARE(f.runCycle(), QStringList{"Page not found: : " + url});
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        QVERIFY(testDialogs().errors.isEmpty());
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
    }
};

KORVANE_ENGINE_TEST_MAIN(TestDesktopNotificationNoBus)
#include "test_desktop_notification_no_bus.moc"
