#include "check/CycleRun.h"

#include "check/AlarmDispatch.h"
#include "check/AlarmPause.h"
#include "check/CheckState.h"
#include "check/NetworkCheck.h"
#include "check/PageCheck.h"
#include "check/PageOutcome.h"
#include "history/HistoryStore.h"
#include "net/FetchRequest.h"
#include "net/HostLookups.h"
#include "notify/ActivityLog.h"
#include "notify/StatusLine.h"
#include "pages/PageRecords.h"
#include "settings/ConnectionSettings.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QTimer>
#include <exception>
#include <malloc.h>

namespace {

using namespace ConnectionSettings;

// Tray pictures of the cycle.
constexpr int TrayChecking = 3;
constexpr int TrayAllWell = 4;
// The longest one turn of the event loop hands pages back: the window answers in between.
constexpr int HandBackBudgetMs = 10;

} // namespace

CycleRun::CycleRun(const Parts& parts, CycleCalls calls, QObject* parent)
    : QObject(parent), p_(parts), calls_(std::move(calls)), lookups_(new HostLookups(this)),
      walk_(new CheckWalk(parts.pages, *lookups_, this)) {
    // Free slots are filled at once, and the answers in are handed back before anything else
    // can come between (an abort drops the answers not handed back).
    connect(walk_, &CheckWalk::progressed, this, [this] {
        fill();
        handBack();
    });
}

QString CycleRun::text(const char* key) const {
    return p_.settings.text(QLatin1String(key));
}

void CycleRun::start() {
    state_ = State::Walking;
    soundError_.clear();
    parallel_ = parallelChecks(text("EditParallelChecks"));
    callIfSet(calls_.ShowTrayState, TrayChecking);
    p_.state.YellowRaised = false;
    p_.state.RedRaised = false;
    p_.dispatch.cycleStarted();
    p_.network.startCycle();
    callIfSet(calls_.ShowNetworkUnavailable, false);
    p_.history.cycleStarted();
    cycleOpen_ = true;
    holds_.begin(p_.pages, p_.maintenance);
    walk_->begin(holds_.order());
    fill();
    handBack();
}

void CycleRun::fill() {
    if (state_ != State::Idle)
        walk_->fill(parallel_, [this](CheckWalk::Page& page) { startPage(page); });
}

FetchRequest CycleRun::requestSettings() const {
    FetchRequest request;
    if (p_.settings.tick(QStringLiteral("CheckBoxProxy"))) {
        request.proxy = text("EditProxyHost");
        request.proxyPort = number(text("EditProxyPort"), DefaultProxyPort);
    } else {
        request.proxyPort = DefaultProxyPort;
    }
    request.acceptUntrusted = p_.settings.tick(QStringLiteral("CheckBoxAcceptUntrusted"));
    request.headerInfo.LocalProgram = QStringLiteral("Korvane");
    return request;
}

void CycleRun::startPage(CheckWalk::Page& page) {
    const int position = page.position;
    page.listedUrl = p_.pages.url(position);
    page.startedAtMs = QDateTime::currentMSecsSinceEpoch();
    page.before = p_.pages.readStatus(position);
    page.options = p_.pages.options(position);
    page.secondMs = std::max(1, p_.watchdog->interval());
    // A page's own time limits stand before the Connection tab's.
    page.timeOutSeconds =
        timeOutSeconds(page.options.timeOut.isEmpty() ? text("EditTimeOut") : page.options.timeOut);
    page.deadlineMs = qint64(page.timeOutSeconds) * page.secondMs;
    page.slowSeconds = number(
        page.options.slowAfter.isEmpty() ? text("EditTimeSlow") : page.options.slowAfter, DefaultSlowSeconds);
    p_.pages.writeStatus(position, PageStatus::Checking);
    callIfSet(calls_.RepaintGrid);
    callIfSet(calls_.ShowTrayState, TrayChecking);
    FetchRequest request = requestSettings();
    request.url = page.listedUrl;
    page.check->start(request, page.options, page.deadlineMs);
}

void CycleRun::handBackSoon() {
    if (state_ != State::Walking || std::exchange(handBackQueued_, true))
        return;
    QTimer::singleShot(0, this, [this] {
        handBackQueued_ = false;
        handBack();
    });
}

void CycleRun::handBack() {
    if (state_ != State::Walking)
        return;
    QElapsedTimer turn;
    turn.start();
    while (CheckWalk::Page* page = walk_->head()) {
        if (!page->done() && !page->deleted)
            return showWaiting();
        if (!handBackPage(*page))
            return;
        walk_->pop();
        if (turn.hasExpired(HandBackBudgetMs))
            return handBackSoon();
    }
    finish();
}

void CycleRun::showWaiting() {
    const CheckWalk::Page* page = walk_->firstWaiting();
    if (!page)
        return;
    const QString text = QStringLiteral("Checking ") +
                         (page->check ? page->check->currentUrl() : p_.pages.url(page->position));
    if (p_.status.text() != text)
        p_.status.setText(text);
}

bool CycleRun::handBackPage(CheckWalk::Page& page) {
    // A page deleted while it was checked has nowhere to keep its result.
    if (page.deleted)
        return true;
    const int position = page.position;
    if (page.excluded) {
        p_.pages.writeStatus(position, PageStatus::Excluded);
        callIfSet(calls_.RepaintGrid);
        return true;
    }
    const PageOutcome outcome = decide(page, false);
    if (outcome.asksNetwork && !p_.network.asked()) {
        askNetwork();
        return false;
    }
    // A failure the network excuses was held already, and is nobody's to hold again.
    const std::optional<AlarmHold> hold =
        outcome.heldByNetwork
            ? std::nullopt
            : holds_.hold(page.first, QDateTime::currentDateTimeUtc(), outcome.failed, p_.pause.paused());
    apply(page, position, outcome, hold);
    holds_.checked(page.first, outcome.failed);
    try {
        p_.dispatch.afterPage(position, holds_.hasDependents(page.first));
    } catch (const std::exception& error) {
        // A sound that cannot be played must not stop the watch: the other pages are still
        // checked, and the error is shown once the walk is over.
        if (soundError_.isEmpty())
            soundError_ = QString::fromUtf8(error.what());
    }
    remember(page, position, outcome.heldRow, hold);
    callIfSet(calls_.RepaintGrid);
    return true;
}

PageOutcome CycleRun::decide(const CheckWalk::Page& page, bool userAborted) const {
    const PageCheck& check = *page.check;
    const int position = page.position;
    PageAnswer answer{check.currentUrl(), check.errorText(), check.timedOut(), check.result(),
                      check.body(),       check.bodyCut(),   check.elapsedMs()};
    const PageRecord& record = p_.pages.page(position);
    const PageBefore before{page.before, record.streak, record.values};
    const OutcomeRules rules{page.secondMs,
                             page.timeOutSeconds,
                             page.slowSeconds,
                             number(text("EditCertDays"), DefaultCertificateDays),
                             number(text("EditFailCount"), DefaultFailCount),
                             QDateTime::currentDateTimeUtc(),
                             userAborted};
    return decideOutcome(answer, page.options, before, rules, p_.network.down());
}

void CycleRun::apply(const CheckWalk::Page& page, int position, const PageOutcome& outcome,
                     const std::optional<AlarmHold>& hold) {
    CheckState& s = p_.state;
    const PageCheck& check = *page.check;
    s.ToAddress.clear();
    s.FirstRow.reset();
    s.StatusRow.reset();
    s.Chat.reset();
    s.SendMail = false;
    s.PlaySound = false;
    s.ListedURL = page.listedUrl;
    s.StatusBefore = page.before;
    s.CurrentURL = check.currentUrl();
    s.ElapsedSeconds = outcome.elapsedSeconds;
    s.TimedOut = check.timedOut();
    s.InvalidHost = outcome.invalidHost;
    s.Exchange = check.result();
    s.ReplyNumber = outcome.replyNumber;
    s.Rejected = outcome.rejected;
    s.ContentError = outcome.contentError;
    s.Failed = outcome.failed;
    p_.pages.writeStatus(position, outcome.status);
    p_.pages.setHeld(position, hold ? hold->word() : QString());
    p_.status.setText(outcome.statusText);
    s.ErrorText = outcome.errorText;
    p_.pages.pushAccessTime(position, outcome.accessTime);
    p_.dispatch.beforeRows(outcome.failed && !outcome.rows.isEmpty(), hold);
    bool heldBack = false;
    for (const FiredRow& row : outcome.rows) {
        if (!row.statusText.isEmpty())
            p_.status.setText(row.statusText);
        s.ErrorText = row.errorText;
        heldBack = p_.dispatch.fireRow(row.condition, position, hold.has_value()) || heldBack;
    }
    for (PageRecords::Column column : {PageRecords::Size, PageRecords::Date, PageRecords::Signature})
        if (const QString& value = outcome.values[column - PageRecords::Size].text;
            value != p_.pages.value(column, position))
            p_.pages.setValue(column, position, value);
    FailureStreak& streak = p_.pages.streak(position);
    // A held failure is counted, but alarms nobody: once the hold is over it is news again, and a
    // recovery is told to whoever heard of the failure before the hold.
    const bool alarmedBefore = streak.alarmed;
    streak = outcome.streak;
    if (hold && outcome.failed)
        streak.alarmed = alarmedBefore;
    if (!outcome.heldLine.isEmpty())
        p_.log.AddLogLine(outcome.heldLine);
    if (heldBack)
        p_.log.AddLogLine(hold->logLine(s.CurrentURL));
}

void CycleRun::remember(const CheckWalk::Page& page, int position, std::optional<AlarmCondition> heldRow,
                        const std::optional<AlarmHold>& hold) {
    const CheckState& s = p_.state;
    CheckRecord check;
    check.timeMs = page.startedAtMs;
    check.address = page.listedUrl;
    // A failure held back is still a failure: it is kept as what it was, never as "No Error".
    check.outcome = alarmConditionName(
        s.StatusRow.value_or(s.FirstRow.value_or(heldRow.value_or(AlarmCondition::NoError))));
    check.code = s.ReplyNumber;
    check.ms = page.check->elapsedMs();
    const FetchResult& exchange = page.check->result();
    check.lookupMs = exchange.lookupMs;
    check.connectMs = exchange.connectMs;
    check.tlsMs = exchange.tlsMs;
    check.firstByteMs = exchange.firstByteMs;
    if (!exchange.dnsRcode.isEmpty())
        check.dnsAnswers = int(exchange.dnsAnswers.size());
    check.up = !s.Failed;
    check.error = s.Failed ? s.ErrorText : QString();
    if (hold)
        check.held = hold->word();
    const FailureStreak& streak = p_.pages.streak(position);
    check.mark = {int(p_.pages.readStatus(position)), streak.failedChecks, streak.alarmed};
    p_.history.record(check);
    emit pageChecked(check, exchange.certificateExpiry);
}

void CycleRun::askNetwork() {
    state_ = State::WaitingForNetwork;
    p_.network.ask(text("EditNetworkCheck").trimmed(), requestSettings(),
                   timeOutSeconds(text("EditTimeOut")) * 1000, [this](const QString& downBecause) {
                       if (!downBecause.isEmpty())
                           p_.log.AddLogLine(QStringLiteral("Network unavailable, alarms held: ") +
                                             downBecause);
                       if (state_ != State::WaitingForNetwork)
                           return;
                       state_ = State::Walking;
                       handBackSoon();
                   });
}

void CycleRun::dropRest(bool closing) {
    // The checks stopped here say they are done: nothing is started or handed back for them.
    state_ = State::Idle;
    QSet<const PageCheck*> cut;
    walk_->forEachRunning([&](CheckWalk::Page& page) {
        page.check->stop(false);
        cut.insert(page.check);
    });
    // A request the user cut short fails without an alarm. Answers that were in but not handed
    // back are dropped, as if never asked for, and after a close nothing is applied at all.
    while (CheckWalk::Page* page = walk_->head()) {
        if (page->check && !page->deleted) {
            const int position = page->position;
            if (cut.contains(page->check) && !closing)
                apply(*page, position, decide(*page, true));
            else
                p_.pages.writeStatus(position, page->before);
        }
        walk_->pop();
    }
    walk_->end();
    callIfSet(calls_.RepaintGrid);
}

void CycleRun::abort() {
    if (state_ == State::Idle)
        return;
    dropRest(false);
    finish();
}

void CycleRun::terminate() {
    if (state_ == State::Idle)
        return;
    dropRest(true);
    // The pages already checked were told in the log and the grid: their messages go out too.
    p_.dispatch.afterCycle(holds_.heldBehind());
    // The program's end follows the cycle's in the history.
    endInHistory();
}

void CycleRun::endInHistory() {
    // What was handed back is kept, even from a cycle cut short.
    if (std::exchange(cycleOpen_, false))
        p_.history.cycleEnded(historyDays(text("EditHistoryDays")));
}

void CycleRun::finish() {
    state_ = State::Idle;
    walk_->end();
    endInHistory();
    CheckState& s = p_.state;
    s.CheckRunning = false;
    if (s.RedRaised || s.YellowRaised)
        callIfSet(calls_.AlarmsRaised, holds_.heldBehind());
    else
        callIfSet(calls_.ShowTrayState, TrayAllWell);
    callIfSet(calls_.ShowNetworkUnavailable, p_.network.down());
    // After the tray and the desktop notice, which need not wait for the mail server.
    p_.dispatch.afterCycle(holds_.heldBehind());
    p_.status.setText(QString());
    // The monitor runs for months between cycles: what the cycle's checks freed goes back to the
    // system instead of staying in the heap at its peak.
    malloc_trim(0);
    emit finished(soundError_);
}
