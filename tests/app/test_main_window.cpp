// What a user sees of the window itself: the first start, the tabs, the log, closing.
#include "settings/ChatService.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "support/net/ScriptedPeer.h"
#include "update/TAdvertisement.h"
#include "views/TCheckListBox.h"
#include "views/TDrawGrid.h"
#include "views/TStatusBar.h"

#include "views/LogView.h"
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>

namespace {

QStringList visibleTabCaptions(QTabWidget* tabs) {
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->isTabVisible(i))
            captions.append(tabs->tabText(i));
    }
    return captions;
}

// An object whose event handler fails on a custom event.
class ThrowingReceiver : public QObject {
public:
    static constexpr QEvent::Type Raise = QEvent::Type(QEvent::User + 1);
    bool event(QEvent* e) override {
        if (e->type() == Raise)
            throw std::runtime_error("Broken handler");
        return QObject::event(e);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    // The tab bar's arrow keys walk the tabs a user sees, never onto the hidden ones.
    void arrowKeysSkipTheHiddenTabs() {
        WindowFixture fixture;
        QTabWidget* tabs = fixture.start().PageControl1;
        tabs->setCurrentIndex(0);
        for (int press = 0; press < tabs->count(); ++press) {
            QTest::keyClick(tabs->tabBar(), Qt::Key_Right);
            QVERIFY2(tabs->isTabVisible(tabs->currentIndex()),
                     qPrintable(tabs->tabText(tabs->currentIndex())));
        }
        QCOMPARE(tabs->currentWidget(), fixture.window().browser.TabSheetBrowser);
    }

    void firstStartWithoutSettingsFile() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.windowTitle(), QString("Korvane"));
        QCOMPARE(w.size(), QSize(684, 482));
        QCOMPARE(visibleTabCaptions(w.PageControl1),
                 QStringList({"Status", "History", "Setup Web Pages", "Email Setup", "Sending E-Mail",
                              "Chat Alerts", "Alarms", "Connection", "Log", "Web Browser"}));
        // An empty page list opens on the page editor.
        QCOMPARE(w.PageControl1->currentWidget(), w.webPages.TabSheetWebPages);

        QTRY_COMPARE(w.logTab.Log->document()->blockCount(), 2);
        const QStringList logLines = w.logTab.Log->toPlainText().split('\n');
        QCOMPARE(logLines[0], QString("Korvane Log"));
        QVERIFY2(QRegularExpression(R"(^\[\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\] Korvane Start$)")
                     .match(logLines[1])
                     .hasMatch(),
                 qPrintable(logLines[1]));

        QCOMPARE(fixture.find<QLineEdit>("EditURL")->text(), QString("http://"));
        QCOMPARE(fixture.find<QLineEdit>("EditEmailPort")->text(), QString("25"));
        QCOMPARE(fixture.find<QLineEdit>("Edit10")->text(), QString("Korvane Error Notification"));
        QCOMPARE(fixture.find<QLineEdit>("EditTimeSlow")->text(), QString("5"));
        QCOMPARE(fixture.find<QLineEdit>("EditTimeOut")->text(), QString("20"));
        QCOMPARE(fixture.find<QLineEdit>("EditInterval")->text(), QString("10"));
        QCOMPARE(fixture.find<QLineEdit>("EditProxyPort")->text(), QString("80"));
        QCOMPARE(fixture.find<QLineEdit>("EditYWavFileName")->text(), QString("td.wav"));
        QCOMPARE(fixture.find<QLineEdit>("EditRWavFileName")->text(), QString("problem.wav"));
        QCOMPARE(fixture.find<QLineEdit>("EditBrowseTo")->text(), QString("http://"));
        QVERIFY(!fixture.find<QCheckBox>("CheckBoxProxy")->isChecked());
        QCOMPARE(
            fixture.find<QPlainTextEdit>("Memo1")->toPlainText(),
            QString("An error occurred while trying to access:\n%URL%:\n\nThe error message was:\n%ERROR% "));
        QCOMPARE(fixture.find<TCheckListBox>("CheckListBoxURL")->itemCount(), 0);
        QCOMPARE(fixture.window().pages.listed(PageRecords::Size).size(), 17);
        QCOMPARE(fixture.window().pages.listed(PageRecords::Date).size(), 18);
        QVERIFY(!fixture.find<QPushButton>("ButtonApplyChanges")->isEnabled());

        // Scheduled checks are off after every start.
        QVERIFY(!fixture.find<QToolButton>("SpeedButtonStart")->isChecked());
        QVERIFY(!fixture.find<QTimer>("Timer1")->isActive());
        QCOMPARE(fixture.find<QTimer>("Timer1")->interval(), 600000);
        QCOMPARE(fixture.find<QTimer>("Timer2")->interval(), 1000);
        QCOMPARE(fixture.find<QToolButton>("SpeedButton1")->toolTip(), QString("Check websites once"));
    }

    void startWithSavedPagesOpensOnStatus() {
        WindowFixture fixture("[defaults]\nCheckListBoxURL=1http://a/,0http://b/,\n");
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.PageControl1->currentWidget(), w.status.TabSheetStatus);
        QCOMPARE(w.status.DrawGrid1->rowCount(), 2);
        // Restored pages start without a result.
        QCOMPARE(w.pages.readStatus(0), PageStatus::Failed);
        QCOMPARE(w.pages.readStatus(1), PageStatus::Failed);
        QCOMPARE(w.pages.history(1)[0], AccessHistory::NoSample);
    }

    // Memory that ran out in a handler is shown once the handler is over, never inside it.
    void fullMemoryInAHandlerIsShownAfterIt() {
        struct Failing : QObject {
            bool event(QEvent*) override { throw std::bad_alloc(); }
        } failing;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&failing, &event);
        QCOMPARE(testDialogs().errors, QStringList());
        QTRY_COMPARE(testDialogs().errors, QStringList{"std::bad_alloc"});
    }

    void exceptionInAnEventHandlerShowsItsTextAndTheProgramGoesOn() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        ThrowingReceiver receiver;
        QCoreApplication::postEvent(&receiver, new QEvent(ThrowingReceiver::Raise));
        QCoreApplication::postEvent(&receiver, new QEvent(ThrowingReceiver::Raise));
        QTRY_COMPARE(testDialogs().errors, QStringList({"Broken handler", "Broken handler"}));
        // The window still works.
        w.webPages.EditURL->setText("http://after/");
        QTest::mouseClick(w.webPages.ButtonAdd, Qt::LeftButton);
        QCOMPARE(w.pages.url(w.pages.pageCount() - 1), QString("http://after/"));
    }

    void reportedHandlerShowsItsErrorWithoutReachingTheToolkit() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        connect(w.webPages.ButtonDel, &QPushButton::clicked, &w,
                reported(testDialogs(), [] { throw std::runtime_error("Broken click"); }));
        QTest::mouseClick(w.webPages.ButtonDel, Qt::LeftButton);
        QCOMPARE(testDialogs().errors, QStringList{"Broken click"});
    }

    void closingSavesTheSettings() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.connection.EditTimeOut->setText("33");
        fixture.close();
        QVERIFY(fixture.settingsText().contains("EditTimeOut=33\n"));
    }

    void quitWhileHiddenInTheTraySavesTheSettings() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.connection.EditInterval->setText("7");
        w.hide();
        // What the application's quit (a signal, the session ending) runs.
        w.shutDown();
        QVERIFY(fixture.settingsText().contains("EditInterval=7\n"));
        QVERIFY(w.isVisible());
        // A later close does not save a second time over a file changed meanwhile.
        QFile::remove(fixture.settingsPath());
        fixture.close();
        QVERIFY(!QFile::exists(fixture.settingsPath()));
    }

    // The test runs from a folder without the banner library: the banners stay empty.
    void bannersWaitInTheirPlacesWithoutTheirLibrary() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        TAdvertisement* ads[] = {w.banner.Advertisement1, w.banner.Advertisement2};
        QCOMPARE(ads[0]->geometry(), QRect(4, 4, 468, 60));
        QCOMPARE(ads[1]->geometry(), QRect(474, 4, 120, 60));
        QCOMPARE(ads[0]->Version, 6);
        QCOMPARE(ads[1]->Version, 0);
        for (TAdvertisement* ad : ads) {
            QCOMPARE(ad->parentWidget(), w.banner.Panel3);
            QVERIFY(!ad->Sidebar && ad->AutoStart && ad->SoftwareID == 468);
            QVERIFY(!ad->findChild<QWidget*>());
            QVERIFY(!ad->Execute());
        }
    }

    void minimisedWindowIsRestoredBeforeClosing() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.setWindowState(Qt::WindowMinimized);
        w.shutDown();
        QVERIFY(!(w.windowState() & Qt::WindowMinimized));
    }

    // The chat tab's "Send test" shows what the service said, and the token never reaches the file.
    void chatSendTestShowsTheAnswer() {
        ScriptedPeer ntfy(QJsonObject{
            {"mode", "http"},
            {"routes",
             QJsonObject{{"*", QJsonObject{{"sequence", QJsonArray{"HTTP/1.1 200 OK\r\nContent-Length: "
                                                                   "14\r\n\r\n{\"id\":\"abc12\"}"}}}}}}});
        QVERIFY2(ntfy.start(), qPrintable(ntfy.output()));
        WindowFixture f;
        TFormMainWindow& w = f.start();
        w.chatAlerts.targets[0].service->setCurrentIndex(int(ChatService::Ntfy));
        w.chatAlerts.targets[0].address->setText(ntfy.url("/alerts"));
        w.chatAlerts.targets[0].token->setText("tk_secret");
        w.chatAlerts.ButtonChatTest[0]->click();
        QTRY_COMPARE(testDialogs().messages,
                     QStringList{R"(Chat message sent. The service said: {"id":"abc12"})"});
        QVERIFY(ntfy.requests().front().contains("\r\nAuthorization: Bearer tk_secret\r\n"));
        f.close();
        QVERIFY(!f.settingsText().contains("tk_secret"));
    }
};

KORVANE_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
