#pragma once

#include "app/AlarmsTab.h"
#include "app/BannerStrip.h"
#include "app/BrowserTabs.h"
#include "app/ChatAlertsTab.h"
#include "app/ComponentList.h"
#include "app/ConnectionTab.h"
#include "app/EmailSetupTab.h"
#include "app/HistoryTab.h"
#include "app/LogTab.h"
#include "app/MiscTab.h"
#include "app/SendingEmailTab.h"
#include "app/StatusTab.h"
#include "app/ToolBarControls.h"
#include "app/WebPagesTab.h"
#include "check/Monitor.h"
#include "service/CommandLine.h"

#include <QMainWindow>
#include <memory>

class AddressDrop;
class DialogService;
class QAction;
class TMediaPlayer;
class TNMHTTP;
class PageListEditor;
class MonitorSecrets;
class RepaintThrottle;
class RootBrowserTab;
class SecretStore;
class QTabWidget;
class QTimer;
class StatusGrid;
class TDropURLTarget;
class TImageList;
class TStatusBar;
class TWinTaskbar;
class UpdateCheck;
class WebBrowserTab;
class WindowTray;

// The main window. It creates every component, in the order the settings file keeps, and
// connects them to the subsystems that hold the behaviour.
class TFormMainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* VersionTag = CommandLine::VersionTag;

    // The mail password is kept in the desktop's secret store unless another store is given.
    TFormMainWindow(const QString& settingsFile, DialogService& dialogs, SecretStore* secrets = nullptr,
                    QWidget* parent = nullptr);
    ~TFormMainWindow() override;

    // Closing steps for when the program ends without the window being closed by hand (the
    // application asked to quit while the window is hidden, or the session ending): the same
    // as a close, at most once.
    void shutDown();
    // Saves the settings now, reporting a failure in the error box (the desktop session asks
    // for this before it ends).
    void saveSettingsReporting();

    // The monitor the window shows and edits.
    Monitor monitor;

private:
    ComponentList components_;

public:
    // The components, in creation order.
    ToolBarControls toolBar;
    QTabWidget* PageControl1;
    StatusTab status;
    HistoryTab historyTab;
    WebPagesTab webPages;
    EmailSetupTab emailSetup;
    SendingEmailTab sendingEmail;
    AlarmsTab alarms;
    ConnectionTab connection;
    LogTab logTab;
    MiscTab misc;
    BrowserTabs browser;
    BannerStrip banner;
    ChatAlertsTab chatAlerts;
    TStatusBar* StatusBar1;
    QTimer* TimerHTML1;
    QAction* BrowseTo;
    TNMHTTP* NMHTTPback;
    QAction* CheckWebPages;
    QAction* AbortCheck;
    QAction* PlaceOnTray;
    TImageList* ImageList1;
    TImageList* ImageList2;
    TWinTaskbar* TrayIcon1;
    TDropURLTarget* DropURLTarget1;

    // The monitor's parts, by the names the window's code uses.
    ActivityLog& log;
    StatusLine& statusLine;
    Settings& settings;
    PageRecords& pages;
    CheckState& checkState;
    QTimer* Timer1;
    QTimer* Timer2;
    TMediaPlayer* MediaPlayer1;
    TNMSMTP* NMSMTP1;

    WindowTray& tray() { return *tray_; }
    MonitorSecrets& secrets() { return *secrets_; }
    CheckCycle& checkCycle() { return monitor.checkCycle(); }
    HistoryStore& history() { return monitor.history(); }
    AlarmDispatch& alarmDispatch() { return monitor.alarmDispatch(); }
    AlarmMailSender& mailSender() { return monitor.mailSender(); }
    ChatSender& chatSender() { return monitor.chatSender(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTabs();
    void buildComponents();
    void buildCheckControls();
    void buildMail();
    void buildStatusViews();
    void buildBrowser();
    void buildUpdateCheck(const QString& settingsFile);
    void buildAddressDrop();
    void buildSessionAutostart(const QString& settingsFile);
    void DrawGrid1SelectCell(const QString& url);
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void TabSheetStatusShow();
    void PageControl1Change();

    DialogService& dialogs_;
    PageListEditor* pageList_ = nullptr;
    WebBrowserTab* webBrowserTab_ = nullptr;
    RootBrowserTab* rootBrowserTab_ = nullptr;
    UpdateCheck* updateCheck_ = nullptr;
    std::unique_ptr<AddressDrop> addressDrop_;
    std::unique_ptr<MonitorSecrets> secrets_;
    WindowTray* tray_ = nullptr;
    std::unique_ptr<StatusGrid> statusGrid_;
    RepaintThrottle* gridRepaint_ = nullptr;
    bool firstShow_ = true;
    bool closed_ = false;
};
