#include "check/CheckCycle.h"

#include "check/AlarmDispatch.h"
#include "check/ChangeDetection.h"
#include "check/CheckState.h"
#include "check/ContentCheck.h"
#include "check/FailureReason.h"
#include "check/NetworkCheck.h"
#include "check/PageCheck.h"
#include "check/ResumeWait.h"
#include "history/HistoryStore.h"
#include "net/EventWait.h"
#include "net/FetchRequest.h"
#include "net/HostLookups.h"
#include "notify/ActivityLog.h"
#include "notify/DialogService.h"
#include "notify/StatusLine.h"
#include "pages/PageCursor.h"
#include "pages/PageRecords.h"
#include "settings/ConnectionSettings.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <utility>

namespace {

// Tray pictures of the cycle.
constexpr int TrayChecking = 3;
constexpr int TrayAllWell = 4;

using namespace ConnectionSettings;
constexpr int FirstScheduledCycleMs = 1000;
// The longest the walk keeps pending events waiting between two pages. Pages served in well
// under this time do not each pay for a repaint that nobody could follow anyway.
constexpr int PumpIntervalMs = 10;

const QString Interval = QStringLiteral("EditInterval");
const QString TimeOut = QStringLiteral("EditTimeOut");

} // namespace

CheckCycle::CheckCycle(const Controls& controls, const Calls& calls, PageRecords& pages, ActivityLog& log,
                       CheckState& state, AlarmDispatch& dispatch, ChangeDetection& changes,
                       HistoryStore& history, DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), calls_(calls), pages_(pages), log_(log), s_(state), dispatch_(dispatch),
      changes_(changes), history_(history), dialogs_(dialogs), network_(new NetworkCheck(this)),
      resume_(new ResumeWait([this] { return network_->offline(); }, this)), lookups_(new HostLookups(this)),
      walk_(new CheckWalk(pages, *lookups_, this)) {
    // Free slots are filled at once, even while the walk hands a page back.
    connect(walk_, &CheckWalk::progressed, this, [this] {
        fillSlots();
        progressed_ = true;
    });
    connect(c_.Timer1, &QTimer::timeout, this, &CheckCycle::Timer1Timer);
    connect(c_.Timer2, &QTimer::timeout, this, &CheckCycle::Timer2Timer);
}

void CheckCycle::pumpMessages() {
    if (sincePump_.isValid() && !sincePump_.hasExpired(PumpIntervalMs))
        return;
    QCoreApplication::processEvents();
    sincePump_.start();
}

QString CheckCycle::text(const QString& key) const {
    return c_.settings->text(key);
}

void CheckCycle::status(const QString& text) {
    c_.status->setText(text);
}

void CheckCycle::startSoon() {
    QMetaObject::invokeMethod(this, &CheckCycle::CheckWebPagesExecute, Qt::QueuedConnection);
}

void CheckCycle::SpeedButtonStartToggle(bool down) {
    if (down) {
        c_.Timer1->setInterval(FirstScheduledCycleMs);
        c_.Timer1->start();
    } else {
        c_.Timer1->stop();
        stopWaiting();
    }
}

void CheckCycle::stopWaiting() {
    if (!resume_->waiting())
        return;
    resume_->cancel();
    status(QString());
}

void CheckCycle::Timer1Timer() {
    // A tick during a cycle passes, as the cycle would let it.
    if (!mayStart())
        return;
    if (!resume_->runOrWait([this] { CheckWebPagesExecute(); }))
        status(QStringLiteral("Waiting for the network after sleep"));
}

void CheckCycle::AbortCheckExecute() {
    stopWaiting();
    s_.CheckRunning = false;
    network_->abort();
}

void CheckCycle::terminate() {
    terminating_ = true;
    s_.CheckRunning = false;
    c_.Timer1->stop();
    c_.Timer2->stop();
    resume_->cancel();
    // A check of the network address under way ends too, so the close does not wait for it.
    network_->abort();
    walk_->forEachRunning([](CheckWalk::Page& page) { page.check->stop(false); });
    // The program's end follows the cycle's in the history.
    endCycleInHistory();
}

void CheckCycle::endCycleInHistory() {
    // What was handed back is kept, even from a cycle cut short.
    if (std::exchange(cycleOpen_, false))
        history_.cycleEnded(historyDays(text(QStringLiteral("EditHistoryDays"))));
}

bool CheckCycle::stopped() const {
    return !s_.CheckRunning || terminating_;
}

bool CheckCycle::mayStart() const {
    return !s_.CheckRunning && !terminating_ && !showingError_;
}

void CheckCycle::CheckWebPagesExecute() {
    if (!mayStart())
        return;
    s_.CheckRunning = true;
    // A scheduled cycle still waiting for the network after a sleep is this one now.
    resume_->cancel();
    // Changing the interval restarts the countdown, so it is only set when it differs: later
    // scheduled cycles then start one interval apart.
    const int interval = intervalMs(text(Interval));
    if (c_.Timer1->interval() != interval)
        c_.Timer1->setInterval(interval);
    calls_.ShowTrayState(TrayChecking);
    s_.YellowRaised = false;
    s_.RedRaised = false;
    network_->startCycle();
    calls_.ShowNetworkUnavailable(false);
    QString soundError;
    history_.cycleStarted();
    cycleOpen_ = true;
    walk(soundError);
    endCycleInHistory();
    if (terminating_)
        return;
    if (s_.RedRaised || s_.YellowRaised)
        calls_.AlarmsRaised();
    else
        calls_.ShowTrayState(TrayAllWell);
    calls_.ShowNetworkUnavailable(network_->down());
    // After the tray and the desktop notice, which need not wait for the mail server.
    dispatch_.afterCycle();
    status(QString());
    if (!soundError.isEmpty()) {
        showingError_ = true;
        dialogs_.showError(soundError);
        showingError_ = false;
    }
}

void CheckCycle::fillSlots() {
    if (!stopped())
        walk_->fill(parallelChecks(text(QStringLiteral("EditParallelChecks"))),
                    [this](CheckWalk::Page& page) { startPage(page); });
}

void CheckCycle::walk(QString& soundError) {
    walk_->begin();
    c_.Timer2->start();
    fillSlots();
    for (;;) {
        // Checks that finish while a page is handed back (a mail may be sent then) say so here.
        progressed_ = false;
        handBackDone(soundError);
        if (stopped() || !walk_->head())
            break;
        showWaiting();
        EventWait::until([this] { return progressed_ || stopped(); });
    }
    c_.Timer2->stop();
    if (stopped())
        abandon();
    s_.CheckRunning = false;
}

FetchRequest CheckCycle::requestSettings() const {
    FetchRequest request;
    if (c_.settings->tick(QStringLiteral("CheckBoxProxy"))) {
        request.proxy = text(QStringLiteral("EditProxyHost"));
        request.proxyPort = number(text(QStringLiteral("EditProxyPort")), DefaultProxyPort);
    } else {
        request.proxyPort = DefaultProxyPort;
    }
    request.acceptUntrusted = c_.settings->tick(QStringLiteral("CheckBoxAcceptUntrusted"));
    request.headerInfo.LocalProgram = QStringLiteral("Korvane");
    return request;
}

void CheckCycle::startPage(CheckWalk::Page& page) {
    const int position = page.cursor->position();
    page.listedUrl = pages_.url(position);
    page.startedAtMs = QDateTime::currentMSecsSinceEpoch();
    page.before = pages_.readStatus(position);
    page.options = pages_.options(position);
    page.secondMs = std::max(1, c_.Timer2->interval());
    // A page's own time limits stand before the Connection tab's.
    page.timeOutSeconds =
        timeOutSeconds(page.options.timeOut.isEmpty() ? text(TimeOut) : page.options.timeOut);
    page.deadlineMs = qint64(page.timeOutSeconds) * page.secondMs;
    page.slowSeconds = number(page.options.slowAfter.isEmpty() ? text(QStringLiteral("EditTimeSlow"))
                                                               : page.options.slowAfter,
                              DefaultSlowSeconds);
    pages_.writeStatus(position, PageStatus::Checking);
    calls_.RepaintGrid();
    calls_.ShowTrayState(TrayChecking);
    FetchRequest request = requestSettings();
    request.url = page.listedUrl;
    page.check->start(request, page.options);
}

void CheckCycle::showWaiting() {
    const CheckWalk::Page* page = walk_->firstWaiting();
    if (!page)
        return;
    const QString text = QStringLiteral("Checking ") +
                         (page->check ? page->check->currentUrl() : pages_.url(page->cursor->position()));
    if (c_.status->text() != text)
        status(text);
}

void CheckCycle::handBackDone(QString& soundError) {
    while (!stopped()) {
        CheckWalk::Page* page = walk_->head();
        if (!page || !(page->done() || page->cursor->deleted()))
            return;
        handBack(*page, soundError);
        if (terminating_)
            return;
        walk_->pop();
    }
}

void CheckCycle::handBack(CheckWalk::Page& page, QString& soundError) {
    // A page deleted while it was checked has nowhere to keep its result.
    if (page.cursor->deleted())
        return;
    if (page.excluded) {
        pages_.writeStatus(page.cursor->position(), PageStatus::Excluded);
        calls_.RepaintGrid();
        return;
    }
    classify(page, page.cursor->position());
    if (terminating_ || page.cursor->deleted())
        return;
    try {
        dispatch_.afterPage(page.cursor->position());
    } catch (const std::exception& error) {
        // A sound that cannot be played must not stop the watch: the other pages are still
        // checked, and the error is shown once the walk is over.
        if (soundError.isEmpty())
            soundError = QString::fromUtf8(error.what());
    }
    remember(page);
    calls_.RepaintGrid();
    pumpMessages();
}

void CheckCycle::remember(const CheckWalk::Page& page) {
    CheckRecord check;
    check.timeMs = page.startedAtMs;
    check.address = page.listedUrl;
    check.outcome = alarmConditionName(s_.StatusRow.value_or(s_.FirstRow.value_or(AlarmCondition::NoError)));
    check.code = s_.ReplyNumber;
    check.ms = page.check->elapsedMs();
    const FetchResult& exchange = page.check->result();
    check.lookupMs = exchange.lookupMs;
    check.connectMs = exchange.connectMs;
    check.tlsMs = exchange.tlsMs;
    check.firstByteMs = exchange.firstByteMs;
    check.up = !s_.Failed;
    check.error = s_.Failed ? s_.ErrorText : QString();
    const FailureStreak streak = pages_.streak(page.cursor->position());
    check.mark = {int(pages_.readStatus(page.cursor->position())), streak.failedChecks, streak.alarmed};
    history_.record(check);
}

void CheckCycle::classify(const CheckWalk::Page& page, int position) {
    const PageCheck& check = *page.check;
    s_.ErrorText = QStringLiteral("Unknown");
    s_.ToAddress.clear();
    s_.FirstRow.reset();
    s_.StatusRow.reset();
    s_.Chat.reset();
    s_.SendMail = false;
    s_.PlaySound = false;
    s_.ListedURL = page.listedUrl;
    s_.CurrentURL = check.currentUrl();
    s_.ElapsedSeconds = int(std::min<qint64>(check.elapsedMs() / page.secondMs, INT_MAX));
    s_.TimedOut = check.timedOut();
    s_.InvalidHost = check.result().invalidHost;
    s_.Exchange = check.result();
    s_.ReplyNumber = s_.Exchange.replyNumber;
    s_.Rejected = s_.ReplyNumber != 0 && !check.accepts(s_.ReplyNumber);
    s_.ContentError.clear();
    s_.Failed = !check.errorText().isEmpty() || s_.Rejected;
    try {
        if (!s_.Failed && page.options.contentCheck())
            s_.ContentError = ContentCheck::failure(
                page.options, ContentCheck::text(check.body(), s_.Exchange.header), check.bodyCut());
        s_.Failed = s_.Failed || !s_.ContentError.isEmpty();
        if (!check.errorText().isEmpty())
            fail(position, page.timeOutSeconds,
                 failureReason(s_.Exchange.trouble, s_.Exchange.troubleDetail, check.errorText()));
        else if (s_.Failed)
            fail(position, page.timeOutSeconds, {});
        else
            succeed(position, page.slowSeconds, page.before == PageStatus::RedAlarm);
    } catch (const std::exception& error) {
        s_.Failed = true;
        fail(position, page.timeOutSeconds, QString::fromUtf8(error.what()));
    }
}

void CheckCycle::abandon() {
    QSet<const PageCheck*> cut;
    walk_->forEachRunning([&](CheckWalk::Page& page) {
        page.check->stop(false);
        cut.insert(page.check);
    });
    // A request the user cut short fails without an alarm. Answers that were in but not handed
    // back are dropped, as if never asked for, and after a close nothing is applied at all.
    while (CheckWalk::Page* page = walk_->head()) {
        if (page->check && !page->cursor->deleted()) {
            if (cut.contains(page->check) && !terminating_)
                classify(*page, page->cursor->position());
            else
                pages_.writeStatus(page->cursor->position(), page->before);
        }
        walk_->pop();
    }
    walk_->end();
    calls_.RepaintGrid();
}

void CheckCycle::succeed(int page, int slowSeconds, bool wasRed) {
    pages_.writeStatus(page, PageStatus::Ok);
    status(s_.CurrentURL + QStringLiteral(" is OK"));
    s_.ErrorText = QStringLiteral("No Error");
    dispatch_.fireRow(AlarmCondition::NoError, page);
    if (slowSeconds < s_.ElapsedSeconds) {
        s_.ErrorText =
            QStringLiteral("Slow Access: ") + QString::number(s_.ElapsedSeconds) + QStringLiteral(" seconds");
        dispatch_.fireRow(AlarmCondition::SlowAccess, page);
    }
    changes_.detectChanges(page, s_.Exchange.header);
    checkCertificate(page);
    pages_.pushAccessTime(page, s_.ElapsedSeconds);
    // Last, so that an alarm mail of the recovery carries its text.
    checkRecovery(page, wasRed);
}

void CheckCycle::checkCertificate(int page) {
    const QDateTime expiry = s_.Exchange.certificateExpiry;
    if (!expiry.isValid())
        return;
    constexpr qint64 SecondsPerDay = 24 * 60 * 60;
    const qint64 left = QDateTime::currentDateTimeUtc().secsTo(expiry);
    if (left > number(text(QStringLiteral("EditCertDays")), DefaultCertificateDays) * SecondsPerDay)
        return;
    // An expired certificate passes only where untrusted ones are accepted; it says so plainly.
    s_.ErrorText = left < 0 ? QStringLiteral("Certificate expired ") +
                                  QString::number(-left / SecondsPerDay) + QStringLiteral(" days ago")
                            : QStringLiteral("Certificate expires in ") +
                                  QString::number(left / SecondsPerDay) + QStringLiteral(" days");
    dispatch_.fireRow(AlarmCondition::CertificateExpiring, page);
}

// A page is back when its last check ended red or raised its failure alarms; failures still
// being confirmed were never announced, so their end is not either.
void CheckCycle::checkRecovery(int page, bool wasRed) {
    FailureStreak& streak = pages_.streak(page);
    if (wasRed || streak.alarmed) {
        s_.ErrorText = QStringLiteral("Recovered after ") + QString::number(streak.failedChecks) +
                       QStringLiteral(" failed checks");
        dispatch_.fireRow(AlarmCondition::Recovered, page);
    }
    streak = {};
}

void CheckCycle::fail(int page, int timeOutSeconds, const QString& reason) {
    status(QStringLiteral("Error retreiving ") + s_.CurrentURL);
    s_.ErrorText = QStringLiteral("Error retrieving: ") + s_.CurrentURL;
    pages_.writeStatus(page, PageStatus::Failed);
    pages_.pushAccessTime(page, timeOutSeconds);
    struct Outcome {
        AlarmCondition condition;
        QString status;
        QString errorText;
    };
    QList<Outcome> outcomes;
    if (s_.Rejected)
        outcomes.append(
            {AlarmCondition::PageNotFound, QStringLiteral(" Failed"), QStringLiteral("Page not found: ")});
    if (s_.InvalidHost)
        outcomes.append({AlarmCondition::HostNotFound, QStringLiteral(" Invalid Host Error"),
                         QStringLiteral("Invalid Host ")});
    const bool timedOut = s_.TimedOut;
    // A server that answered and then stalled in its body did say something: its reply is kept.
    if (timedOut)
        outcomes.append({AlarmCondition::TimeOut, QStringLiteral(" TimeOut Error"),
                         s_.ReplyNumber
                             ? QStringLiteral("TimedOut after reply ") + QString::number(s_.ReplyNumber)
                             : QStringLiteral("TimedOut")});
    // The commonest outage of all, a server that is down, fits none of the above. A fetch the
    // user aborted is no outage, and no failed check either.
    const bool contentFailed = !s_.ContentError.isEmpty();
    if (contentFailed)
        outcomes.append(
            {AlarmCondition::ContentCheckFailed, QStringLiteral(" Content Check Failed"), s_.ContentError});
    if (!s_.Rejected && !contentFailed && !s_.InvalidHost && !timedOut && s_.CheckRunning)
        outcomes.append({AlarmCondition::ConnectionFailed, QStringLiteral(" Connection Failed"),
                         QStringLiteral("Connection failed: ") + reason});
    // A server that answered with the wrong text proves the network up.
    if (outcomes.isEmpty() || (!contentFailed && networkDown()))
        return;
    // A single lost answer need not wake anybody: the alarms wait for the failed check that
    // confirms the outage, and come again with every one after it.
    FailureStreak& streak = pages_.streak(page);
    const int needed = std::max(1, number(text(QStringLiteral("EditFailCount")), DefaultFailCount));
    streak.alarmed = ++streak.failedChecks >= needed;
    if (!streak.alarmed) {
        log_.AddLogLine(QStringLiteral("Failed check ") + QString::number(streak.failedChecks) +
                        QStringLiteral(" of ") + QString::number(needed) + QStringLiteral(": ") +
                        s_.CurrentURL);
        return;
    }
    for (const Outcome& outcome : outcomes) {
        status(s_.CurrentURL + outcome.status);
        s_.ErrorText = outcome.errorText;
        dispatch_.fireRow(outcome.condition, page);
    }
}

bool CheckCycle::networkDown() {
    if (!network_->asked()) {
        const QString why = network_->ask(text(QStringLiteral("EditNetworkCheck")).trimmed(),
                                          requestSettings(), timeOutSeconds(text(TimeOut)) * 1000);
        if (!why.isEmpty())
            log_.AddLogLine(QStringLiteral("Network unavailable, alarms held: ") + why);
    }
    return network_->down();
}

void CheckCycle::Timer2Timer() {
    walk_->forEachRunning([](CheckWalk::Page& page) {
        if (page.check->elapsedMs() >= page.deadlineMs)
            page.check->stop(true);
    });
}
