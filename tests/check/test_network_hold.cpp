// A machine that is offline fails every page at once: the page alarms are held for that cycle.
// One that wakes from sleep lets its network come back before the scheduled cycle.
#include "CheckFixture.h"
#include "check/ResumeWait.h"
#include "net/MachineClocks.h"
#include "support/TestMain.h"
#include "support/TrayPicture.h"
#include "support/net/NginxPeer.h"

namespace {

QStringList heldOrAlarmed(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) {
        if (line.startsWith("Network unavailable") || line.startsWith("Page not found"))
            out.append(line);
    }
    return out;
}

// Clocks the test puts to sleep.
class FakeClocks : public MachineClocks {
public:
    qint64 awake = 1000000;
    qint64 boot = 2000000;
    qint64 awakeMs() override { return awake; }
    qint64 sinceBootMs() override { return boot; }
};

} // namespace

class TestNetworkHold : public QObject {
    Q_OBJECT
    NginxPeer peer;

private slots:
    void initTestCase() {
        peer.addFile("here.html", "<html>here</html>");
        QVERIFY2(peer.start(), qPrintable(peer.output()));
    }

    void init() { testDialogs() = FakeDialogs(); }

    void heldWhileDownAlarmedWhenBack_data() {
        QTest::addColumn<bool>("offline");
        QTest::addColumn<QString>("checkAddress");
        QTest::addColumn<QString>("heldBecause"); // "A" stands for the check address
        QTest::newRow("check address refused")
            << false << QString("http://127.0.0.1:%1/").arg(PeerProcess::freePort()) << "A";
        QTest::newRow("platform offline") << true << QString() << "offline";
    }

    void heldWhileDownAlarmedWhenBack() {
        QFETCH(bool, offline);
        QFETCH(QString, checkAddress);
        QFETCH(QString, heldBecause);
        CheckFixture f;
        const QString a = peer.url("missing-a.html"), b = peer.url("missing-b.html");
        f.addPage(a);
        f.addPage(peer.url("here.html"));
        f.addPage(b);
        f.network->isOffline = offline;
        f.w().connection.EditNetworkCheck->setText(checkAddress);
        QStringList kept; // the outcome the history keeps for each page
        QObject::connect(&f.w().checkCycle(), &CheckCycle::pageChecked, [&kept](const CheckRecord& check) {
            kept << check.outcome + (check.up ? "" : " (down)");
        });

        QCOMPARE(heldOrAlarmed(f.runCycle()),
                 QStringList{"Network unavailable, alarms held: " + heldBecause.replace("A", checkAddress)});
        QCOMPARE(QList<int>({int(f.status(0)), int(f.status(1)), int(f.status(2))}), QList<int>({0, 3, 0}));
        QCOMPARE(f.w().pages.streak(0).failedChecks, 0);
        QCOMPARE(kept, (QStringList{"Page Not Found (down)", "No Error", "Page Not Found (down)"}));
        QCOMPARE(trayPicture(f.w()), 4);
        QCOMPARE(f.w().TrayIcon1->hint(), QString("Korvane: network unavailable"));
        QVERIFY(testDialogs().errors.isEmpty()); // no alarm sound was tried

        f.muteSounds();
        f.network->isOffline = false;
        f.w().connection.EditNetworkCheck->setText(peer.url("here.html"));
        QCOMPARE(heldOrAlarmed(f.runCycle()),
                 (QStringList{"Page not found: : " + a, "Page not found: : " + b}));
        QCOMPARE(QList<int>({int(f.status(0)), int(f.status(1)), int(f.status(2))}), QList<int>({5, 3, 5}));
        QCOMPARE(f.w().TrayIcon1->hint(), QString("Korvane"));
    }

    void scheduledCycleAfterResume_data() {
        QTest::addColumn<bool>("slept");
        QTest::addColumn<QString>("waitEnds"); // "online", "deadline", "abort" or "" for no wait
        QTest::newRow("awake all along: no wait") << false << "";
        QTest::newRow("resumed, network comes back") << true << "online";
        QTest::newRow("resumed, network stays away") << true << "deadline";
        QTest::newRow("resumed, the user aborts") << true << "abort";
    }

    void scheduledCycleAfterResume() {
        QFETCH(bool, slept);
        QFETCH(QString, waitEnds);
        CheckFixture f;
        auto owned = std::make_unique<FakeClocks>();
        FakeClocks& clocks = *owned;
        f.w().checkCycle().resumeWait().useClocks(std::move(owned));
        f.addPage(peer.url("here.html"));
        f.network->isOffline = true;
        clocks.awake += 600000;
        clocks.boot += 600000 + (slept ? 8 * 3600000 : 0);

        f.w().checkCycle().Timer1Timer();
        if (waitEnds.isEmpty()) {
            QTRY_COMPARE(f.status(0), PageStatus::Ok);
            return;
        }
        QCOMPARE(f.statusBar(), QString("Waiting for the network after sleep"));
        QVERIFY(f.status(0) != PageStatus::Ok);
        if (waitEnds == "abort") {
            f.w().AbortCheck->trigger();
            QVERIFY(!f.w().checkCycle().resumeWait().waiting());
            QCOMPARE(f.statusBar(), QString());
            return;
        }
        if (waitEnds == "online")
            f.network->isOffline = false;
        else
            clocks.awake += ResumeWait::NetworkWaitMs;
        QTRY_COMPARE(f.status(0), PageStatus::Ok);
        QVERIFY(!f.w().checkCycle().resumeWait().waiting());
    }
};

KORVANE_TEST_MAIN(TestNetworkHold)
#include "test_network_hold.moc"
