// The two browser tabs through the real window and the real web engine, on pages served by nginx.
#include "browser/TWebBrowser.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "support/net/NginxPeer.h"
#include "views/TCheckListBox.h"
#include "views/TDrawGrid.h"
#include "views/TStatusBar.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

// The engine's first start, under the sanitizers on a busy machine, takes its time.
constexpr int EngineWaitMs = 60000;

bool engineLoaded() {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

} // namespace

class TestBrowserTabs : public QObject {
    Q_OBJECT
    NginxPeer nginx;

private slots:
    void initTestCase() {
        nginx.addFile("one.html", "<html><body>one</body></html>");
        nginx.addFile("sub/index.html", "<html><body>moved here</body></html>");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }

    void init() { testDialogs() = FakeDialogs(); }

    void noEngineStartsUntilTheUserBrowses() {
        WindowFixture fixture(
            QString("[defaults]\nCheckListBoxURL=1%1,\n").arg(nginx.url("one.html")).toUtf8());
        TFormMainWindow& w = fixture.start();
        w.PageControl1->setCurrentWidget(w.browser.TabSheetBrowser);
        w.browser.EditBrowseTo->setText(nginx.url("one.html"));
        w.browser.WebBrowser2->GoHome();
        w.browser.ButtonBrowseGo->setFocus();
        w.PageControl1->setCurrentWidget(w.status.TabSheetStatus);
        QVERIFY(!engineLoaded());
        QVERIFY(!w.browser.BrowseStop->isEnabled());
        QVERIFY(!w.browser.BrowseBack->isEnabled());
        QVERIFY(!w.browser.BrowseForward->isEnabled());
        // The address is in the list, so there is nothing to add.
        QVERIFY(!w.browser.ButtonAddFromBrowser->isEnabled());
    }

    void browsingFollowsTheBrowsersOwnNotices() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.PageControl1->setCurrentWidget(w.browser.TabSheetBrowser);
        QLineEdit* address = w.browser.EditBrowseTo;
        QList<bool> stopEnabled;
        connect(w.browser.WebBrowser2, &TWebBrowser::BusyChange, this,
                [&] { stopEnabled.append(w.browser.BrowseStop->isEnabled()); });

        address->setText(nginx.url("one.html"));
        QTest::keyClick(address, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!w.browser.WebBrowser2->Busy() && !stopEnabled.isEmpty(), EngineWaitMs);
        QCOMPARE(address->text(), nginx.url("one.html"));
        QCOMPARE(stopEnabled, (QList<bool>{true, false}));
        QVERIFY(engineLoaded());
        QVERIFY(!w.browser.BrowseBack->isEnabled());

        // nginx sends a folder without its slash on with a redirect: the box and "Add" get the
        // address the browser ended at.
        address->setText(nginx.url("sub"));
        w.browser.ButtonBrowseGo->click();
        QTRY_COMPARE_WITH_TIMEOUT(address->text(), nginx.url("sub/"), EngineWaitMs);
        QTRY_VERIFY(w.browser.BrowseBack->isEnabled());
        QVERIFY(!w.browser.BrowseForward->isEnabled());
        QVERIFY(w.browser.ButtonAddFromBrowser->isEnabled());
        w.browser.ButtonAddFromBrowser->click();
        QCOMPARE(w.webPages.CheckListBoxURL->texts(), QStringList{nginx.url("sub/")});
        QCOMPARE(w.StatusBar1->simpleText(), nginx.url("sub/") + " Added to List");

        // "Add" is offered exactly for an address not yet listed, in any letter case.
        address->setText(nginx.url("SUB/"));
        QVERIFY(!w.browser.ButtonAddFromBrowser->isEnabled());
        address->setText(nginx.url("SUB/x"));
        QVERIFY(w.browser.ButtonAddFromBrowser->isEnabled());

        w.browser.BrowseBack->click();
        QTRY_COMPARE_WITH_TIMEOUT(address->text(), nginx.url("one.html"), EngineWaitMs);
        QTRY_VERIFY(w.browser.BrowseForward->isEnabled());
        QTRY_VERIFY(!w.browser.BrowseBack->isEnabled());
        w.browser.BrowseForward->click();
        QTRY_COMPARE_WITH_TIMEOUT(address->text(), nginx.url("sub/"), EngineWaitMs);
        QTRY_VERIFY(!w.browser.BrowseForward->isEnabled());
    }

    void selectingAGridRowOpensItsPageInTheBrowser() {
        WindowFixture fixture(QString("[defaults]\nCheckListBoxURL=1%1,1%2,\n")
                                  .arg(nginx.url("one.html"), nginx.url("sub/"))
                                  .toUtf8());
        TFormMainWindow& w = fixture.start();
        QSignalSpy complete(w.browser.WebBrowser2, &TWebBrowser::DocumentComplete);
        w.status.DrawGrid1->setCurrentCell(2, 1);
        QCOMPARE(w.browser.EditBrowseTo->text(), nginx.url("sub/"));
        QCOMPARE(w.PageControl1->currentWidget(), w.browser.TabSheetBrowser);
        QVERIFY(complete.wait(EngineWaitMs));
        QCOMPARE(w.browser.WebBrowser2->LocationURL(), nginx.url("sub/"));
    }

    void theRootTabShowsItsPageOneTickAfterTheTimerStarts() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        QSignalSpy complete(w.browser.WebBrowser1, &TWebBrowser::DocumentComplete);
        w.browser.EditRootTo->setText(nginx.url("one.html"));
        w.TimerHTML1->start();
        QVERIFY(complete.wait(EngineWaitMs));
        QVERIFY(!w.TimerHTML1->isActive());
        QCOMPARE(w.browser.WebBrowser1->LocationURL(), nginx.url("one.html"));
        QVERIFY(w.browser.EditBrowseTo->text() == "http://");
    }
};

KORVANE_TEST_MAIN(TestBrowserTabs)
#include "test_browser_tabs.moc"
