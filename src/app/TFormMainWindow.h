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
#include "check/CheckState.h"
#include "notify/ActivityLog.h"
#include "notify/StatusLine.h"
#include "pages/PageRecords.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <memory>

class AddressDrop;
class AlarmDispatch;
class AlarmMailComposer;
class AlarmMailSender;
class ChatSender;
class AlarmMatrix;
class HistoryStore;
class CheckCycle;
class DesktopNotifier;
class DialogService;
class QAction;
class TNMHTTP;
class TNMSMTP;
class PageListEditor;
class WindowSecrets;
class RepaintThrottle;
class RootBrowserTab;
class SecretStore;
class QTabWidget;
class QTimer;
class StatusGrid;
class TDropURLTarget;
class TImageList;
class TMediaPlayer;
class TestMail;
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
    static constexpr const char* VersionTag = "korvane2.4";

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
    // After the event loop has ended: gives the secret store a moment to take the password
    // saved at the close, so that the program still ends within a second or so.
    void finishSaving();

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
    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* TimerHTML1;
    QAction* BrowseTo;
    TMediaPlayer* MediaPlayer1;
    TNMHTTP* NMHTTPback;
    TNMSMTP* NMSMTP1;
    QAction* CheckWebPages;
    QAction* AbortCheck;
    QAction* PlaceOnTray;
    TImageList* ImageList1;
    TImageList* ImageList2;
    TWinTaskbar* TrayIcon1;
    TDropURLTarget* DropURLTarget1;

    ActivityLog log;
    StatusLine statusLine;
    Settings settings;
    PageRecords pages;
    CheckState checkState;

    WindowTray& tray() { return *tray_; }
    CheckCycle& checkCycle() { return *checkCycle_; }
    HistoryStore& history() { return *history_; }
    AlarmDispatch& alarmDispatch() { return *alarmDispatch_; }
    AlarmMailSender& mailSender() { return *mailSender_; }
    ChatSender& chatSender() { return *chatSender_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTabs();
    void buildComponents(const QString& settingsFile);
    void buildCheckEngine(const QString& settingsFile);
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
    SettingsStore settings_;
    PageListEditor* pageList_ = nullptr;
    WebBrowserTab* webBrowserTab_ = nullptr;
    RootBrowserTab* rootBrowserTab_ = nullptr;
    UpdateCheck* updateCheck_ = nullptr;
    std::unique_ptr<AddressDrop> addressDrop_;
    AlarmMatrix* alarmMatrix_ = nullptr;
    std::unique_ptr<AlarmMailComposer> mailComposer_;
    AlarmMailSender* mailSender_ = nullptr;
    TestMail* testMail_ = nullptr;
    ChatSender* chatSender_ = nullptr;
    std::unique_ptr<WindowSecrets> secrets_;
    std::unique_ptr<AlarmDispatch> alarmDispatch_;
    std::unique_ptr<HistoryStore> history_;
    CheckCycle* checkCycle_ = nullptr;
    DesktopNotifier* desktopNotifier_ = nullptr;
    WindowTray* tray_ = nullptr;
    std::unique_ptr<StatusGrid> statusGrid_;
    RepaintThrottle* gridRepaint_ = nullptr;
    bool firstShow_ = true;
    bool closed_ = false;
};
