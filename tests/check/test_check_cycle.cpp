// The cycle as the window starts, shows and offers it: the toolbar, the tabs, the chart.
#include "check/CheckFixture.h"
#include "support/TestMain.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"
#include "views/TDrawGrid.h"

#include <QAccessible>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

class TestCheckCycle : public QObject {
    Q_OBJECT

    NginxPeer nginx;

private slots:
    void initTestCase() {
        nginx.addFile("index.html", "<html>hello</html>");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }
    void init() { testDialogs() = FakeDialogs(); }

    void scheduledChecksStartOneSecondAfterPressing() {
        CheckFixture f;
        f.addPage(nginx.url("index.html"));
        QToolButton* start = f.w().toolBar.SpeedButtonStart;
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(start->isChecked());
        QVERIFY(f.w().Timer1->isActive());
        QCOMPARE(f.w().Timer1->interval(), 1000);
        // The first cycle moves the timer to the interval of the Connection tab.
        f.w().connection.EditInterval->setText("3");
        QTRY_COMPARE_WITH_TIMEOUT(f.status(0), PageStatus::Ok, 5000);
        QCOMPARE(f.w().Timer1->interval(), 3 * 60000);
        QVERIFY(f.w().Timer1->isActive());
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(!f.w().Timer1->isActive());
    }

    void twoQuickClicksRunOneCycle() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\n\r\n", 0.3)}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/a"));
        QToolButton* once = f.w().toolBar.SpeedButton1;
        f.whenChecking(peer.url("/a"), [&] {
            f.w().PageControl1->setCurrentWidget(f.w().logTab.TabSheetLog);
            QTest::mouseClick(once, Qt::LeftButton);
            // The second click only switched to the Status tab.
            QCOMPARE(f.w().PageControl1->currentWidget(), f.w().status.TabSheetStatus);
        });
        QTest::mouseClick(once, Qt::LeftButton);
        QTRY_COMPARE(f.status(0), PageStatus::Ok);
        QTRY_VERIFY(!f.w().checkState.CheckRunning);
        QCoreApplication::processEvents(); // a second cycle, had one been queued, would run now
        QCOMPARE(peer.requests().size(), 1);
    }

    void numberSettingsStayInRange_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("timeOutSeconds");
        QTest::newRow("zero") << "0" << 60000 << 1;
        QTest::newRow("negative") << "-5" << 60000 << 1;
        QTest::newRow("beyond a timer") << "99999999" << 35791 * 60000 << 2147483;
        QTest::newRow("lowest") << "-2147483648" << 60000 << 1;
        QTest::newRow("not a number") << "soon" << 600000 << 20;
    }

    void numberSettingsStayInRange() {
        QFETCH(QString, text);
        QFETCH(int, intervalMs);
        QFETCH(int, timeOutSeconds);
        CheckFixture f;
        f.w().connection.EditInterval->setText(text);
        f.w().connection.EditTimeOut->setText(text);
        f.addPage("http://no-such-host.invalid/");
        f.runCycle();
        QCOMPARE(f.w().Timer1->interval(), intervalMs);
        QCOMPARE(f.w().pages.history(0)[0], timeOutSeconds);
        // The chart draws its bars against the time-out as well.
        f.w().PageControl1->setCurrentWidget(f.w().status.TabSheetStatus);
        QVERIFY(!f.w().status.DrawGrid1->viewport()->grab().isNull());
    }

    // Screen readers toggle and press buttons without a click, and wait for the press to return.
    void toolbarAndOptionsAnswerAScreenReader() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\n\r\n")}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/a"));
        auto act = [](QWidget* control, const QString& action) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY(accessible && accessible->actionInterface());
            QVERIFY(accessible->actionInterface()->actionNames().contains(action));
            accessible->actionInterface()->doAction(action);
        };
        QToolButton* start = f.w().toolBar.SpeedButtonStart;
        start->toggle();
        QVERIFY(f.w().Timer1->isActive());
        QCOMPARE(f.w().Timer1->interval(), 1000);
        start->toggle();
        QVERIFY(!f.w().Timer1->isActive());
        act(start, QAccessibleActionInterface::toggleAction());
        QVERIFY(start->isChecked() && f.w().Timer1->isActive());
        start->toggle();

        act(f.w().webPages.CheckBoxCheckSize, QAccessibleActionInterface::toggleAction());
        QVERIFY(f.w().webPages.ButtonApplyChanges->isEnabled());
        const AlarmRow& slow = f.w().alarms.rows[int(AlarmCondition::SlowAccess)];
        slow.Yellow->setChecked(false);
        QVERIFY(!slow.PlayWav->isEnabled());
        act(slow.Red, QAccessibleActionInterface::toggleAction());
        QVERIFY(slow.PlayWav->isEnabled());

        // "Check websites once" answers at once; the cycle follows from the event loop.
        act(f.w().toolBar.SpeedButton1, QAccessibleActionInterface::pressAction());
        QVERIFY(!f.w().checkState.CheckRunning);
        QCOMPARE(peer.requests().size(), 0);
        QTRY_COMPARE(f.status(0), PageStatus::Ok);
    }
};

KORVANE_TEST_MAIN(TestCheckCycle)
#include "test_check_cycle.moc"
