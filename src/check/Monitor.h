#pragma once

#include "check/CheckState.h"
#include "notify/ActivityLog.h"
#include "notify/StatusLine.h"
#include "pages/MaintenanceWindow.h"
#include "pages/PageRecords.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

#include <QDeadlineTimer>
#include <QObject>
#include <functional>
#include <memory>

class AlarmDispatch;
class AlarmPause;
class AlarmMailComposer;
class AlarmMailSender;
class ChatSender;
class CheckCycle;
class DesktopNotifier;
class DialogService;
class HistoryStore;
class QTimer;
class TNMSMTP;

// What a program without a desktop leaves out of the monitor.
struct MonitorParts {
    bool desktopNotices = true; // the desktop's notice of a cycle's alarms
    bool history = true;        // false: the history file is neither opened nor written
};

// The monitor without a window: the settings and the page list as values, the log and the status
// line, the history, the alarms and the cycle, wired together. A window shows and edits it; a
// program without one drives it as it is.
class Monitor : public QObject {
    Q_OBJECT
public:
    // What the monitor asks of a window, when there is one. Each may be left empty.
    struct Calls {
        std::function<void(int)> ShowTrayState;
        std::function<void()> RevealWindow;
        // The pages' marks or uptimes changed, or a cycle applied a page.
        std::function<void()> RepaintGrid;
        std::function<void(bool)> ShowNetworkUnavailable;
        // Plays the alarm sound file as its field names it; raises why it cannot.
        std::function<void(const QString&)> PlaySound;
    };

    Monitor(const QString& settingsFile, DialogService& dialogs, const Calls& calls,
            QObject* parent = nullptr, MonitorParts parts = {});
    ~Monitor() override;

    // The program's start: the log's first line, the history opened, the settings loaded.
    void start();
    // Calls ready once the history is open (or given up) and the pages stand where it left them:
    // a check made before would count from nothing.
    void whenHistoryOpen(std::function<void()> ready);
    // How long the end of the program waits for the alarm messages under way.
    static constexpr int MessagesWaitMs = 1500;

    // Ends the work under way: the cycle and its checks. The messages due for the pages already
    // checked go out with those under way, until messagesBy; the rest are given up, and a page
    // whose recovery was in one of them stays alarmed in the history, so that the next start
    // announces it.
    void stop(QDeadlineTimer messagesBy = QDeadlineTimer(MessagesWaitMs));
    // The program's end, in the history and on disk before anyone reads the file after us; the
    // log says how many checks could not be written.
    void end();

    ActivityLog log;
    StatusLine statusLine;
    Settings settings;
    PageRecords pages;
    CheckState checkState;
    SettingsStore store;
    QTimer* Timer1; // the schedule
    QTimer* Timer2; // the pages' watchdog
    TNMSMTP* NMSMTP1;
    // The planned work on the pages, as the settings file keeps it.
    QList<MaintenanceWindow> maintenance;

    HistoryStore& history() { return *history_; }
    AlarmMailSender& mailSender() { return *mailSender_; }
    ChatSender& chatSender() { return *chatSender_; }
    AlarmDispatch& alarmDispatch() { return *alarmDispatch_; }
    CheckCycle& checkCycle() { return *checkCycle_; }
    AlarmPause& alarmPause() { return *alarmPause_; }

private:
    void buildHistory(const QString& settingsFile);
    void buildMail(DialogService& dialogs);

    Calls calls_;
    MonitorParts parts_;
    std::unique_ptr<HistoryStore> history_;
    std::unique_ptr<AlarmMailComposer> mailComposer_;
    AlarmMailSender* mailSender_ = nullptr;
    ChatSender* chatSender_ = nullptr;
    std::unique_ptr<AlarmDispatch> alarmDispatch_;
    DesktopNotifier* desktopNotifier_ = nullptr;
    CheckCycle* checkCycle_ = nullptr;
    AlarmPause* alarmPause_ = nullptr;
};
