#include "app/TFormMainWindow.h"

#include "app/HistoryView.h"
#include "app/SessionAutostart.h"
#include "app/SettingsBinding.h"
#include "app/WindowTray.h"
#include "browser/RootBrowserTab.h"
#include "browser/TWebBrowser.h"
#include "browser/WebBrowserTab.h"
#include "history/HistoryStore.h"
#include "net/TNMHTTP.h"
#include "notify/ChatSender.h"
#include "notify/DialogService.h"
#include "service/MonitorSecrets.h"
#include "service/MonitorShutdown.h"
#include "settings/ConnectionSettings.h"
#include "settings/ProgramFolders.h"
#include "sound/AlarmSoundPlay.h"
#include "sound/TMediaPlayer.h"
#include "update/TAdvertisement.h"
#include "update/UpdateCheck.h"
#include "views/AddressDrop.h"
#include "views/AlarmMatrix.h"
#include "views/AlarmPauseControls.h"
#include "views/ChatTest.h"
#include "views/CheckControls.h"
#include "views/LogView.h"
#include "views/MacroKeywords.h"
#include "views/MaintenanceEditor.h"
#include "views/PageListEditor.h"
#include "views/RepaintThrottle.h"
#include "views/StatusGrid.h"
#include "views/StatusPictures.h"
#include "views/TCheckListBox.h"
#include "views/TDropURLTarget.h"
#include "views/TImageList.h"
#include "views/TStatusBar.h"
#include "views/TWinTaskbar.h"
#include "views/TabVisibility.h"
#include "views/TestMail.h"
#include "views/TrayPictures.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QTimer* timer(ComponentList& components, const char* name, int intervalMs, QObject* parent) {
    auto* t = components.add(new QTimer(parent), name);
    t->setInterval(intervalMs);
    return t;
}

} // namespace

TFormMainWindow::TFormMainWindow(const QString& settingsFile, DialogService& dialogs, SecretStore* secrets,
                                 QWidget* parent)
    : QMainWindow(parent), monitor(settingsFile, dialogs,
                                   {[this](int state) { tray_->ShowTrayState(state); },
                                    [this] { tray_->RevealWindow(); }, [this] { gridRepaint_->request(); },
                                    [this](bool down) { tray_->ShowNetworkUnavailable(down); },
                                    [this](const QString& file) { AlarmSoundPlay(*MediaPlayer1, file); }},
                                   this),
      toolBar(ToolBarControls::build(components_)),
      PageControl1(components_.add(new QTabWidget, "PageControl1")), status(StatusTab::build(components_)),
      historyTab(HistoryTab::build(components_)), webPages(WebPagesTab::build(components_)),
      emailSetup(EmailSetupTab::build(components_)), sendingEmail(SendingEmailTab::build(components_)),
      alarms(AlarmsTab::build(components_)), connection(ConnectionTab::build(components_)),
      logTab(LogTab::build(components_)), misc(MiscTab::build(components_)),
      browser(BrowserTabs::build(components_)),
      banner(BannerStrip::build(components_, ProgramFolders::libraryFolder(QStringLiteral("adimage")))),
      chatAlerts(ChatAlertsTab::build(components_)),
      StatusBar1(components_.add(new TStatusBar, "StatusBar1")), log(monitor.log),
      statusLine(monitor.statusLine), settings(monitor.settings), pages(monitor.pages),
      checkState(monitor.checkState), Timer1(monitor.Timer1), Timer2(monitor.Timer2),
      // A sound named without a folder is looked for beside the settings, then where the program's
      // own sounds are.
      MediaPlayer1(new TMediaPlayer(
          QStringList{QFileInfo(settingsFile).absolutePath()} + ProgramFolders::dataFolders(), this)),
      NMSMTP1(monitor.NMSMTP1), dialogs_(dialogs) {
    setObjectName(QStringLiteral("FormMainWindow"));
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    logTab.Log->follow(log);
    StatusBar1->follow(statusLine);
    webPages.CheckListBoxURL->showList(&pages, PageRecords::Address);
    misc.showPages(pages);
    setWindowTitle(QStringLiteral("Korvane"));
    QFont windowFont = font();
    windowFont.setPixelSize(14);
    setFont(windowFont);
    setMinimumSize(590, 190);
    resize(684, 482);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildTabs();
    buildComponents();
    buildBrowser();
    buildStatusViews();
    buildCheckControls();
    secrets_ =
        std::make_unique<MonitorSecrets>(secrets, settings, pages, statusLine, monitor.log, settingsFile);
    buildAddressDrop();
    buildUpdateCheck(settingsFile);
    buildSessionAutostart(settingsFile);
    bindSettings(components_.order(), settings);
    banner.Advertisement1->Loaded();
    banner.Advertisement2->Loaded();
}

TFormMainWindow::~TFormMainWindow() = default;

void TFormMainWindow::buildCheckControls() {
    connect(&history(), &HistoryStore::uptimesChanged, gridRepaint_, &RepaintThrottle::request);
    new HistoryView({historyTab, PageControl1, status.DrawGrid1}, pages, history(), log, dialogs_, this);
    NMHTTPback = components_.add(new TNMHTTP(this), "NMHTTPback");
    NMHTTPback->ReportLevel = 0;
    NMHTTPback->HeaderInfo.LocalProgram = QStringLiteral("korvane2.3");
    NMHTTPback->HeaderInfo.Referer = QStringLiteral("root");
    CheckWebPages = components_.add(new QAction(this), "CheckWebPages");
    AbortCheck = components_.add(new QAction(this), "AbortCheck");
    buildMail();
    new CheckControls({toolBar.SpeedButton1, toolBar.SpeedButtonStart, toolBar.SpeedButton2, CheckWebPages,
                       AbortCheck, PageControl1, status.TabSheetStatus},
                      checkCycle(), this);
}

void TFormMainWindow::buildMail() {
    components_.add(sendingEmail.CheckBoxMailPerCycle, "CheckBoxMailPerCycle");
    new MacroKeywords({sendingEmail.ListBoxKeywords, sendingEmail.Memo1}, this);
    new TestMail({emailSetup.ButtonSendTestMail, sendingEmail.EditEMail1, emailSetup.Edit1localEMail},
                 mailSender(), dialogs_, this);
    new ChatTest({chatAlerts.ButtonChatTest}, chatSender(), dialogs_, this);
}

void TFormMainWindow::buildStatusViews() {
    ImageList1 = components_.add(StatusPictures::create(this), "ImageList1");
    ImageList2 = components_.add(TrayPictures::create(this), "ImageList2");
    TrayIcon1 = components_.add(new TWinTaskbar(this), "TrayIcon1");
    TrayIcon1->setHint(QStringLiteral("Korvane"));
    TrayIcon1->setIcon(QIcon(TrayPictures::programIcon()));
    TrayIcon1->setShowIcon(true);
    PlaceOnTray = components_.add(new QAction(this), "PlaceOnTray");
    tray_ = new WindowTray({this, TrayIcon1, ImageList2, PageControl1, status.TabSheetStatus}, this);
    connect(PlaceOnTray, &QAction::triggered, tray_, &WindowTray::PlaceOnTrayExecute);
    new AlarmPauseControls({this, toolBar.SpeedButtonPause, toolBar.SpeedButtonResume, TrayIcon1, StatusBar1},
                           monitor.alarmPause(), this);

    StatusGridSource source;
    source.pageCount = [this] { return pages.pageCount(); };
    source.pageStatus = [this](int page) { return int(pages.readStatus(page)); };
    source.pageUrl = [this](int page) { return pages.url(page); };
    source.pageHeld = [this](int page) { return pages.held(page); };
    source.accessHistory = [this](int page) { return pages.history(page); };
    source.slowSeconds = [this] {
        return ConnectionSettings::number(settings.text(QStringLiteral("EditTimeSlow")),
                                          ConnectionSettings::DefaultSlowSeconds);
    };
    source.timeOutSeconds = [this] {
        return ConnectionSettings::timeOutSeconds(settings.text(QStringLiteral("EditTimeOut")));
    };
    source.uptime = [this](int page, int days) {
        const Uptime uptime = history().uptime(pages.url(page));
        return days == 1 ? uptime.day : uptime.month;
    };
    statusGrid_ = std::make_unique<StatusGrid>(status.DrawGrid1, source, ImageList1);
    gridRepaint_ = new RepaintThrottle(status.DrawGrid1->viewport());
    statusGrid_->OnOpenPage = [this](int, const QString& url) { DrawGrid1SelectCell(url); };
}

void TFormMainWindow::buildBrowser() {
    webBrowserTab_ = new WebBrowserTab(
        {browser.WebBrowser2, browser.EditBrowseTo, browser.ButtonBrowseGo, browser.ButtonAddFromBrowser,
         browser.BrowseBack, browser.BrowseForward, browser.BrowseStop, webPages.CheckListBoxURL,
         webPages.EditURL},
        [this] { pageList_->ButtonAddClick(); }, this);
    rootBrowserTab_ =
        new RootBrowserTab({browser.WebBrowser1, browser.EditRootTo, TimerHTML1, BrowseTo}, this);
}

void TFormMainWindow::buildAddressDrop() {
    DropURLTarget1 = components_.add(new TDropURLTarget(this), "DropURLTarget1");
    addressDrop_ =
        std::make_unique<AddressDrop>(AddressDrop::Controls{PageControl1, webPages.TabSheetWebPages,
                                                            webPages.EditURL, StatusBar1, DropURLTarget1},
                                      [this] { pageList_->ButtonAddClick(); });
    DropURLTarget1->OnDragOver = [this] { addressDrop_->DropURLTarget1DragOver(); };
    DropURLTarget1->OnDrop = [this] { addressDrop_->DropURLTarget1Drop(); };
    reported(dialogs_, [this] { DropURLTarget1->Register(PageControl1); })();
}

// The check runs at the main banner's first display notice and downloads beside the settings.
void TFormMainWindow::buildUpdateCheck(const QString& settingsFile) {
    updateCheck_ = new UpdateCheck({NMHTTPback, banner.Advertisement1, PageControl1, browser.TabSheetRoot,
                                    browser.EditRootTo, TimerHTML1, browser.EditBrowseTo},
                                   {[this] { rootBrowserTab_->BrowseToExecute(); },
                                    [this] { webBrowserTab_->ButtonBrowseGoClick(); },
                                    [this] { browser.WebBrowser2->GoHome(); }},
                                   {QString::fromLatin1(VersionTag), QFileInfo(settingsFile).absolutePath(),
                                    UpdateCheck::configuredRootAddress()},
                                   dialogs_, this);
    banner.Advertisement1->OnAdChange = [this](TAdvertisement*) { updateCheck_->Advertisement1AdChange(); };
}

void TFormMainWindow::buildSessionAutostart(const QString& settingsFile) {
    new SessionAutostart(connection.CheckBoxAutostart,
                         {SessionAutostart::entryPath(), QCoreApplication::applicationFilePath(),
                          QFileInfo(settingsFile).absoluteFilePath()},
                         dialogs_, this);
}

void TFormMainWindow::DrawGrid1SelectCell(const QString& url) {
    browser.EditBrowseTo->setText(url);
    webBrowserTab_->ButtonBrowseGoClick();
    PageControl1->setCurrentWidget(browser.TabSheetBrowser);
}

void TFormMainWindow::buildTabs() {
    addToolBar(toolBar.ToolBar1);
    PageControl1->addTab(status.TabSheetStatus, QStringLiteral("Status"));
    PageControl1->addTab(historyTab.TabSheetHistory, QStringLiteral("History"));
    PageControl1->addTab(webPages.TabSheetWebPages, QStringLiteral("Setup Web Pages"));
    PageControl1->addTab(emailSetup.TabSheet1, QStringLiteral("Email Setup"));
    PageControl1->addTab(sendingEmail.TabSheet2, QStringLiteral("Sending E-Mail"));
    PageControl1->addTab(chatAlerts.TabSheetChat, QStringLiteral("Chat Alerts"));
    PageControl1->addTab(alarms.TabSheet5, QStringLiteral("Alarms"));
    PageControl1->addTab(connection.TabSheet6, QStringLiteral("Connection"));
    PageControl1->addTab(logTab.TabSheetLog, QStringLiteral("Log"));
    PageControl1->addTab(misc.TabSheet3, QStringLiteral("Misc"));
    PageControl1->addTab(browser.TabSheetRoot, QStringLiteral("Browser"));
    PageControl1->addTab(browser.TabSheetBrowser, QStringLiteral("Web Browser"));
    TabVisibility::setShown(*PageControl1, misc.TabSheet3, false);
    TabVisibility::setShown(*PageControl1, browser.TabSheetRoot, false);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(banner.Panel3);
    setCentralWidget(central);
    setStatusBar(StatusBar1);
    StatusBar1->setFixedHeight(26);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TFormMainWindow::PageControl1Change);
}

void TFormMainWindow::buildComponents() {
    TimerHTML1 = timer(components_, "TimerHTML1", 100, this);
    BrowseTo = components_.add(new QAction(this), "BrowseTo");

    pageList_ = new PageListEditor(
        {webPages.TabSheetWebPages, webPages.EditURL, webPages.ButtonAdd, webPages.ButtonDel,
         webPages.ButtonApplyChanges, webPages.ButtonPageOptions, webPages.CheckBoxCheckSize,
         webPages.CheckBoxCheckDate, webPages.CheckBoxCheckSignature, webPages.CheckListBoxURL, StatusBar1},
        pages, [this] { status.DrawGrid1->viewport()->update(); }, this);
    new AlarmMatrix({alarms.rows, alarms.EditYWavFileName, alarms.ButtonBrowseYwav, alarms.EditRWavFileName,
                     alarms.Button1, MediaPlayer1},
                    dialogs_, this);
    new MaintenanceEditor(
        {alarms.ButtonMaintenance}, monitor.maintenance, pages, [this] { saveSettingsReporting(); }, this);
}

void TFormMainWindow::PageControl1Change() {
    QWidget* shown = PageControl1->currentWidget();
    if (shown == webPages.TabSheetWebPages)
        pageList_->TabSheetWebPagesShow();
    else if (shown == status.TabSheetStatus)
        TabSheetStatusShow();
}

void TFormMainWindow::TabSheetStatusShow() {
    statusGrid_->TabSheetStatusShow();
}

void TFormMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormMainWindow::FormShow() {
    if (firstShow_) {
        monitor.start();
        secrets_->load();
        PageControl1->setCurrentWidget(status.TabSheetStatus);
        TabSheetStatusShow();
        status.DrawGrid1->viewport()->update();
    }
    firstShow_ = false;
    status.DrawGrid1->setRowCount(pages.pageCount());
    if (pages.pageCount() == 0)
        PageControl1->setCurrentWidget(webPages.TabSheetWebPages);
}

void TFormMainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        bool canClose = true;
        FormCloseQuery(canClose);
        if (!canClose) {
            event->ignore();
            return;
        }
        FormClose();
    }
    event->accept();
}

void TFormMainWindow::shutDown() {
    if (closed_)
        return;
    bool canClose = true;
    FormCloseQuery(canClose);
    FormClose();
}

void TFormMainWindow::FormCloseQuery(bool& canClose) {
    setVisible(true);
    TrayIcon1->setShowIcon(false);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    updateCheck_->stop();
    canClose = true;
}

void TFormMainWindow::FormClose() {
    closed_ = true;
    // Nothing dropped after this joins a list that is about to be saved.
    reported(dialogs_, [this] { DropURLTarget1->Unregister(); })();
    // The user must not be kept from quitting by a file that cannot be written.
    MonitorShutdown::run(monitor, *secrets_, [this](const QString& error) { dialogs_.showError(error); });
}

void TFormMainWindow::saveSettingsReporting() {
    try {
        monitor.store.SaveSettings();
    } catch (const std::exception& error) {
        // The window closes all the same: the user must not be kept from quitting.
        dialogs_.showError(QString::fromUtf8(error.what()));
    }
}
