// The window and its tray icon: minimising, coming back, closing from the tray.
#include "app/WindowTray.h"
#include "support/TestMain.h"
#include "support/TrayPicture.h"
#include "support/WindowFixture.h"
#include "views/TDrawGrid.h"

#include <QLineEdit>

#include <QTabWidget>

class TestWindowTray : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void iconIsInTheTrayFromTheStart() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        QVERIFY(w.TrayIcon1->showIcon());
        QCOMPARE(w.TrayIcon1->hint(), QString("Korvane"));
        QCOMPARE(trayPicture(w), 0);
    }

    void minimisingLeavesTheWindowReachable() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.TrayIcon1->setShowIcon(false);
        w.showMinimized();
        QTRY_VERIFY(w.TrayIcon1->showIcon());
        if (TWinTaskbar::isTrayAvailable()) {
            QTRY_VERIFY(!w.isVisible());
        } else {
            // Without a tray a hidden window could never come back.
            QCoreApplication::processEvents();
            QVERIFY(w.isVisible());
            QVERIFY(w.isMinimized());
        }
    }

    void clickOnTheIconBringsTheWindowBackOnTheStatusTab() {
        WindowFixture fixture("[defaults]\n");
        TFormMainWindow& w = fixture.start();
        // An empty page list would put a fresh show on "Setup Web Pages"; the tray click wins.
        w.tray().PlaceOnTrayExecute();
        w.hide();
        w.TrayIcon1->trayActivated(QSystemTrayIcon::Trigger);
        QVERIFY(w.isVisible());
        QCOMPARE(w.PageControl1->currentWidget(), w.status.TabSheetStatus);

        // A double click without a double-click handler is two clicks.
        w.hide();
        w.TrayIcon1->trayActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(w.isVisible());
        QCOMPARE(w.PageControl1->currentWidget(), w.status.TabSheetStatus);
    }

    void rightClickOpensTheMenuAndLeavesTheWindowHidden() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.hide();
        w.TrayIcon1->trayActivated(QSystemTrayIcon::Context);
        QVERIFY(w.TrayIcon1->popUpMenu()->isVisible());
        QVERIFY(!w.isVisible());
    }

    void trayStatesBeyondTheListShowTheFirstPicture() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.tray().ShowTrayState(6);
        QCOMPARE(trayPicture(w), 6);
        w.tray().ShowTrayState(99);
        QCOMPARE(trayPicture(w), 0);
    }

    void closingFromTheTrayShowsTheWindowAndRemovesTheIcon() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.hide();
        w.shutDown();
        QVERIFY(w.isVisible());
        QVERIFY(!w.TrayIcon1->showIcon());
        QVERIFY(QFile::exists(fixture.settingsPath()));
    }
};

KORVANE_TEST_MAIN(TestWindowTray)
#include "test_window_tray.moc"
