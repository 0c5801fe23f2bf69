#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

#include "check/CheckWalk.h"

class ActivityLog;
class AlarmDispatch;
class ChangeDetection;
class HistoryStore;
class DialogService;
class NetworkCheck;
class PageRecords;
class QTimer;
class HostLookups;
class ResumeWait;
class Settings;
class StatusLine;
struct CheckState;
struct FetchRequest;

// The check cycle: walks the page list once, asks the server of every ticked page for the
// page's header (many pages side by side), times each page with the one-second watchdog,
// classifies the outcomes in list order and hands them to the alarm dispatch. It runs on the
// window's thread; while the requests wait, timers and the user's actions run nested inside it.
class CheckCycle : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QTimer* Timer1; // the schedule
        QTimer* Timer2; // the watchdog
        const Settings* settings;
        StatusLine* status;
    };
    struct Calls {
        std::function<void(int)> ShowTrayState;
        std::function<void()> RepaintGrid;
        // The walk ended having raised red or yellow.
        std::function<void()> AlarmsRaised;
        // Whether this cycle held its page alarms because the network was down.
        std::function<void(bool)> ShowNetworkUnavailable;
    };

    CheckCycle(const Controls& controls, const Calls& calls, PageRecords& pages, ActivityLog& log,
               CheckState& state, AlarmDispatch& dispatch, ChangeDetection& changes, HistoryStore& history,
               DialogService& dialogs, QObject* parent = nullptr);

    void CheckWebPagesExecute();
    // Runs the cycle from the event loop, so the button or action that asked for it returns at
    // once (a screen reader waits for that answer).
    void startSoon();
    void AbortCheckExecute();
    // Scheduled checks are switched on (the first cycle follows in a second) or off.
    void SpeedButtonStartToggle(bool down);
    // The scheduled cycle is due; soon after a resume from sleep it waits for the network.
    void Timer1Timer();
    // The watchdog: a page whose time-out has passed since its first request ends as timed out.
    void Timer2Timer();

    // The window is closing: every request ends, and no result is applied any more.
    void terminate();

    // Where the cycle asks whether the network is down; a test speaks for the platform here.
    NetworkCheck& network() { return *network_; }
    // Where the cycle learns of a resume from sleep; a test moves its clocks.
    ResumeWait& resumeWait() { return *resume_; }

private:
    bool stopped() const;
    // No cycle runs, the window is not closing and no error box of a cycle is open.
    bool mayStart() const;
    // A scheduled cycle waiting for the network after a sleep will not run.
    void stopWaiting();
    // Runs the pages' checks until every page is handed back, or the walk is stopped.
    void walk(QString& soundError);
    // Starts waiting pages while slots are free.
    void fillSlots();
    // Sets a page up for its check, with the settings of this moment, and starts it.
    void startPage(CheckWalk::Page& page);
    FetchRequest requestSettings() const;
    // Hands back, in list order, the pages whose checks are done. The first error of an alarm
    // sound is kept in soundError.
    void handBackDone(QString& soundError);
    // One page of the walk: passed by when unticked, else classified and dispatched.
    // Keeps the page's check in the history.
    void remember(const CheckWalk::Page& page);
    void handBack(CheckWalk::Page& page, QString& soundError);
    void classify(const CheckWalk::Page& page, int position);
    // The user aborted: the requests cut short fail without an alarm, the answers not handed
    // back yet are dropped.
    void abandon();
    void showWaiting();
    // wasRed: the page's check before this one ended in a red alarm.
    void succeed(int page, int slowSeconds, bool wasRed);
    void checkCertificate(int page);
    void checkRecovery(int page, bool wasRed);
    // reason: what ended the page's fetch, in plain words, for when no other outcome explains it.
    void fail(int page, int timeOutSeconds, const QString& reason);
    // A page failed: whether the network is down, so that the outage is not the page's. The
    // first failing page of a cycle asks, and the answer is logged once if it holds the alarms.
    bool networkDown();
    void status(const QString& text);
    QString text(const QString& key) const;
    // Lets the window handle what is pending: the user's actions, timers, repaints.
    void pumpMessages();
    // Hands the cycle's checks to the history, once a cycle.
    void endCycleInHistory();

    Controls c_;
    Calls calls_;
    PageRecords& pages_;
    ActivityLog& log_;
    CheckState& s_;
    AlarmDispatch& dispatch_;
    ChangeDetection& changes_;
    HistoryStore& history_;
    DialogService& dialogs_;
    NetworkCheck* network_;
    ResumeWait* resume_;
    HostLookups* lookups_;
    CheckWalk* walk_;
    bool terminating_ = false;
    bool cycleOpen_ = false;  // the history has the cycle's start and not yet its end
    bool progressed_ = false; // the walk moved on since the hand-back last looked
    // An error box of the cycle is open: a cycle started inside it would pile up boxes.
    bool showingError_ = false;
    QElapsedTimer sincePump_;
};
