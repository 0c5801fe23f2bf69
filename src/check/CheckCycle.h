#pragma once

#include "check/CycleCalls.h"
#include "history/CheckRecord.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class ActivityLog;
class AlarmPause;
struct MaintenanceWindow;
class AlarmDispatch;
class CycleRun;
class DialogService;
class HistoryStore;
class NetworkCheck;
class PageRecords;
class QTimer;
class ResumeWait;
class Settings;
class StatusLine;
struct CheckState;

// When the check cycle runs: once when asked, every so many minutes while scheduled checks are
// on (soon after a resume from sleep it waits for the network), never twice at once, and never
// while the error box of the last one is open. The cycle itself is a CycleRun; this starts,
// aborts and ends it.
class CheckCycle : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QTimer* Timer1; // the schedule
        QTimer* Timer2; // the pages' watchdog: its interval is a second of their time
        const Settings* settings;
        StatusLine* status;
        const QList<MaintenanceWindow>* maintenance;
        const AlarmPause* pause;
    };
    using Calls = CycleCalls;

    CheckCycle(const Controls& controls, const Calls& calls, PageRecords& pages, ActivityLog& log,
               CheckState& state, AlarmDispatch& dispatch, HistoryStore& history, DialogService& dialogs,
               QObject* parent = nullptr);

    // Starts a cycle now, unless one runs; it goes on from the event loop.
    void CheckWebPagesExecute();
    // Runs the cycle from the event loop, so the button or action that asked for it returns at
    // once (a screen reader waits for that answer).
    void startSoon();
    // Starts a cycle now for someone outside the window; false when one runs already (or may not
    // start yet).
    bool checkNow();
    void AbortCheckExecute();
    // Scheduled checks are switched on (the first cycle follows in a second) or off.
    void SpeedButtonStartToggle(bool down);
    // The scheduled cycle is due; soon after a resume from sleep it waits for the network.
    void Timer1Timer();

    // The window is closing: every request ends, and no result is applied any more.
    void terminate();

    // Where the cycle asks whether the network is down; a test speaks for the platform here.
    NetworkCheck& network() { return *network_; }
    // Where the cycle learns of a resume from sleep; a test moves its clocks.
    ResumeWait& resumeWait() { return *resume_; }

signals:
    void cycleStarted();
    // A page's check of the cycle under way was applied; certificateExpiry is invalid for a page
    // without TLS.
    void pageChecked(const CheckRecord& check, const QDateTime& certificateExpiry);
    // A cycle is over, its alarms handed out and its error box, if any, closed; or the program
    // ends.
    void cycleFinished();

private:
    // No cycle runs, the window is not closing and no error box of a cycle is open.
    bool mayStart() const;
    // A scheduled cycle waiting for the network after a sleep will not run.
    void stopWaiting();
    void finished(const QString& soundError);

    Controls c_;
    CheckState& s_;
    DialogService& dialogs_;
    NetworkCheck* network_;
    ResumeWait* resume_;
    CycleRun* run_;
    bool terminating_ = false;
    // An error box of the cycle is open: a cycle started inside it would pile up boxes.
    bool showingError_ = false;
};
