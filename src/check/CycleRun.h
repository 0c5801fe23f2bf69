#pragma once

#include "check/CheckWalk.h"
#include "check/CycleCalls.h"
#include "check/CycleHolds.h"
#include "history/CheckRecord.h"
#include "settings/AlarmCondition.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>

class ActivityLog;
class AlarmPause;
class AlarmDispatch;
class HistoryStore;
class HostLookups;
class NetworkCheck;
class PageRecords;
class QTimer;
class Settings;
class StatusLine;
struct CheckState;
struct FetchRequest;
struct PageOutcome;

// One cycle over the page list, driven by the event loop alone: the pages are checked side by
// side, and as each page at the head of the list has its answer, its outcome is decided and
// applied in list order, its alarms raised and its check kept in the history. A failing page
// may first ask whether the network is down; the walk goes on when the answer comes. Nothing
// here waits: a close, an edit or an abort comes between two steps, never inside one.
class CycleRun : public QObject {
    Q_OBJECT
public:
    struct Parts {
        PageRecords& pages;
        ActivityLog& log;
        CheckState& state;
        AlarmDispatch& dispatch;
        HistoryStore& history;
        NetworkCheck& network;
        const Settings& settings;
        StatusLine& status;
        const QTimer* watchdog; // its interval is a second of the pages' time
        const QList<MaintenanceWindow>& maintenance;
        const AlarmPause& pause;
    };

    CycleRun(const Parts& parts, CycleCalls calls, QObject* parent = nullptr);

    bool running() const { return state_ != State::Idle; }
    // The settings that shape the walk are taken now; a page's own when it starts.
    void start();
    // The user ends the cycle: the requests cut short fail without an alarm, the answers not
    // handed back yet are dropped, and the cycle ends as usual.
    void abort();
    // The program ends: the requests stop, nothing more is applied, and the history has the
    // cycle's checks so far.
    void terminate();
    // The settings the pages' requests are made with.
    FetchRequest requestSettings() const;

signals:
    // The walk is over and its alarms handed out; soundError: the first alarm sound that could
    // not be played, if any.
    void finished(const QString& soundError);
    // A page's check was applied and handed to the history; certificateExpiry is invalid for a
    // page without TLS.
    void pageChecked(const CheckRecord& check, const QDateTime& certificateExpiry);

private:
    enum class State { Idle, Walking, WaitingForNetwork };

    QString text(const char* key) const;
    void fill();
    void startPage(CheckWalk::Page& page);
    // Hands back, in list order, the pages whose checks are done, for a moment at most: a long
    // row of answers does not keep the window from its events.
    void handBack();
    void handBackSoon();
    // False when the page waits for the network's answer.
    bool handBackPage(CheckWalk::Page& page);
    PageOutcome decide(const CheckWalk::Page& page, bool userAborted) const;
    void apply(const CheckWalk::Page& page, int position, const PageOutcome& outcome,
               const std::optional<AlarmHold>& hold = std::nullopt);
    void remember(const CheckWalk::Page& page, int position, std::optional<AlarmCondition> heldRow,
                  const std::optional<AlarmHold>& hold);
    void askNetwork();
    void showWaiting();
    // Drops what is left of the walk: cut requests fail without alarm unless the program ends.
    void dropRest(bool closing);
    void finish();
    void endInHistory();

    Parts p_;
    CycleCalls calls_;
    HostLookups* lookups_;
    CheckWalk* walk_;
    CycleHolds holds_;
    State state_ = State::Idle;
    int parallel_ = 0;
    bool handBackQueued_ = false;
    bool cycleOpen_ = false; // the history has the cycle's start and not yet its end
    QString soundError_;
};
