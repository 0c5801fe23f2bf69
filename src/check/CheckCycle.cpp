#include "check/CheckCycle.h"

#include "check/AlarmDispatch.h"
#include "check/ChangeDetection.h"
#include "check/CheckState.h"
#include "check/FailureReason.h"
#include "check/NetworkCheck.h"
#include "check/RedirectTarget.h"
#include "check/ResumeWait.h"
#include "net/EAbortError.h"
#include "net/EventWait.h"
#include "net/TNMHTTP.h"
#include "pages/PageCursor.h"
#include "pages/PageRecords.h"
#include "views/ActivityLog.h"
#include "views/ConnectionSettings.h"
#include "views/DialogService.h"
#include "views/TStatusBar.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>

namespace {

// Tray pictures of the cycle.
constexpr int TrayChecking = 3;
constexpr int TrayAllWell = 4;

using namespace ConnectionSettings;
constexpr int FirstScheduledCycleMs = 1000;
// The longest the walk keeps pending events waiting between two pages. Pages served in well
// under this time do not each pay for a repaint that nobody could follow anyway.
constexpr int PumpIntervalMs = 10;
// The watchdog aborts the request this many seconds after it disconnected it.
constexpr int AbortGraceSeconds = 5;

int setting(const QLineEdit* field, int fallback) {
    return number(field->text(), fallback);
}

int timeOutSetting(const QLineEdit* field) {
    return timeOutSeconds(field->text());
}

} // namespace

CheckCycle::CheckCycle(const Controls& controls, const Calls& calls, PageRecords& pages, ActivityLog& log,
                       CheckState& state, AlarmDispatch& dispatch, ChangeDetection& changes,
                       DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), calls_(calls), pages_(pages), log_(log), s_(state), dispatch_(dispatch),
      changes_(changes), dialogs_(dialogs), network_(new NetworkCheck(this)),
      resume_(new ResumeWait([this] { return network_->offline(); }, this)) {
    connect(c_.Timer1, &QTimer::timeout, this, &CheckCycle::Timer1Timer);
    connect(c_.CheckWebPages, &QAction::triggered, this, &CheckCycle::startSoon);
    connect(c_.AbortCheck, &QAction::triggered, this, &CheckCycle::AbortCheckExecute);
    connect(c_.Timer2, &QTimer::timeout, this, &CheckCycle::Timer2Timer);
    connect(c_.SpeedButton1, &QToolButton::clicked, this, &CheckCycle::SpeedButton1Click);
    connect(c_.SpeedButtonStart, &QToolButton::toggled, this, &CheckCycle::SpeedButtonStartToggle);
    connect(c_.SpeedButton2, &QToolButton::clicked, c_.AbortCheck, &QAction::trigger);
    c_.NMHTTP2->OnRedirect = [this](bool& handled) { NMHTTP2Redirect(handled); };
    c_.NMHTTP2->OnInvalidHost = [this](bool& handled) { NMHTTP2InvalidHost(handled); };
}

void CheckCycle::pumpMessages() {
    if (sincePump_.isValid() && !sincePump_.hasExpired(PumpIntervalMs))
        return;
    QCoreApplication::processEvents();
    sincePump_.start();
}

void CheckCycle::status(const QString& text) {
    c_.StatusBar1->setSimpleText(text);
}

void CheckCycle::startSoon() {
    QMetaObject::invokeMethod(this, &CheckCycle::CheckWebPagesExecute, Qt::QueuedConnection);
}

void CheckCycle::SpeedButton1Click() {
    c_.PageControl1->setCurrentWidget(c_.TabSheetStatus);
    startSoon();
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
    c_.NMHTTP2->Abort();
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
    const int interval = intervalMs(c_.EditInterval->text());
    if (c_.Timer1->interval() != interval)
        c_.Timer1->setInterval(interval);
    calls_.ShowTrayState(TrayChecking);
    s_.YellowRaised = false;
    s_.RedRaised = false;
    network_->startCycle();
    calls_.ShowNetworkUnavailable(false);
    QString soundError;
    int next = 0;
    while (s_.CheckRunning) {
        if (next >= pages_.pageCount()) {
            s_.CheckRunning = false;
            break;
        }
        // The user may add and delete pages while the walk waits; the cursor keeps this page's
        // results on this page.
        const PageCursor page(pages_, next);
        if (c_.NMHTTP2->Canceled)
            CleanupAfterCancel();
        if (stopped())
            break;
        // A page deleted during the clean-up is passed by: the page that followed it is next.
        if (!page.deleted())
            walkPage(page, soundError);
        if (terminating_)
            break;
        next = page.deleted() ? page.position() : page.position() + 1;
        calls_.RepaintGrid();
        if (next >= pages_.pageCount())
            s_.CheckRunning = false;
    }
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

void CheckCycle::walkPage(const PageCursor& page, QString& soundError) {
    if (!pages_.isIncluded(page.position())) {
        pages_.writeStatus(page.position(), PageStatus::Excluded);
        return;
    }
    checkPage(page);
    if (terminating_)
        return;
    if (!page.deleted()) {
        try {
            dispatch_.afterPage(page.position());
        } catch (const std::exception& error) {
            // A sound that cannot be played must not stop the watch: the other pages are still
            // checked, and the error is shown once the walk is over.
            if (soundError.isEmpty())
                soundError = QString::fromUtf8(error.what());
        }
    }
    pumpMessages();
}

void CheckCycle::checkPage(const PageCursor& page) {
    s_.ErrorText = QStringLiteral("Unknown");
    s_.ReplyNumber = 0;
    s_.ToAddress.clear();
    s_.SendMail = false;
    s_.PlaySound = false;
    try {
        TNMHTTP& http = *c_.NMHTTP2;
        http.TimeOut = timeOutSetting(c_.EditTimeOut) * 1000;
        if (c_.CheckBoxProxy->isChecked()) {
            http.Proxy = c_.EditProxyHost->text();
            http.ProxyPort = setting(c_.EditProxyPort, DefaultProxyPort);
        } else {
            http.Proxy.clear();
            http.ProxyPort = DefaultProxyPort;
        }
        http.HeaderInfo.LocalProgram = QStringLiteral("Korvane");
        http.AcceptUntrusted = c_.CheckBoxAcceptUntrusted->isChecked();
        s_.CurrentURL = pages_.url(page.position());
        const bool wasRed = pages_.readStatus(page.position()) == PageStatus::RedAlarm;
        pages_.writeStatus(page.position(), PageStatus::Checking);
        calls_.RepaintGrid();
        calls_.ShowTrayState(TrayChecking);
        s_.ListedURL = s_.CurrentURL;
        s_.ElapsedSeconds = 0;
        s_.TimedOut = false;
        s_.InvalidHost = false;
        c_.Timer2->start();
        fetch();
        c_.Timer2->stop();
        // A page deleted while it was checked has nowhere to keep its result.
        if (page.deleted())
            return;
        s_.ReplyNumber = http.ReplyNumber;
        if (s_.ReplyNumber >= 400) {
            fail(page.position(), {});
            return;
        }
        succeed(page.position(), wasRed);
    } catch (const std::exception& error) {
        fetchFailed(page, QString::fromUtf8(error.what()));
    } catch (...) {
        fetchFailed(page, QStringLiteral("unknown error"));
    }
}

void CheckCycle::fetchFailed(const PageCursor& page, const QString& errorText) {
    c_.Timer2->stop();
    if (terminating_ || page.deleted())
        return;
    const TNMHTTP& http = *c_.NMHTTP2;
    fail(page.position(), failureReason(http.Trouble, http.TroubleDetail, errorText));
}

void CheckCycle::fetch() {
    int redirects = 0;
    do {
        // An abort between two requests of a redirect chain ends the page as one during a request.
        if (c_.NMHTTP2->Canceled)
            throw EAbortError(QStringLiteral("Check aborted"));
        status(QStringLiteral("Checking ") + s_.CurrentURL);
        s_.Redirected = false;
        c_.NMHTTP2->Head(s_.CurrentURL);
        // Some servers refuse HEAD although they serve the page: its header then comes from a
        // GET, of which nothing but the header is read.
        const int refused = c_.NMHTTP2->ReplyNumber;
        if (!s_.Redirected && (refused == 405 || refused == 501))
            c_.NMHTTP2->GetHeader(s_.CurrentURL);
        pumpMessages();
        if (s_.Redirected && ++redirects > MaxRedirects)
            throw std::runtime_error("too many redirects");
    } while (s_.Redirected && !s_.InvalidHost);
}

void CheckCycle::succeed(int page, bool wasRed) {
    pages_.writeStatus(page, PageStatus::Ok);
    status(s_.CurrentURL + QStringLiteral(" is OK"));
    s_.ErrorText = QStringLiteral("No Error");
    dispatch_.fireRow(AlarmCondition::NoError, page);
    if (setting(c_.EditTimeSlow, DefaultSlowSeconds) < s_.ElapsedSeconds) {
        s_.ErrorText =
            QStringLiteral("Slow Access: ") + QString::number(s_.ElapsedSeconds) + QStringLiteral(" seconds");
        dispatch_.fireRow(AlarmCondition::SlowAccess, page);
    }
    changes_.detectChanges(page, c_.NMHTTP2->Header);
    checkCertificate(page);
    pages_.history().PushAccessTime(page, s_.ElapsedSeconds);
    // Last, so that an alarm mail of the recovery carries its text.
    checkRecovery(page, wasRed);
}

void CheckCycle::checkCertificate(int page) {
    const QDateTime expiry = c_.NMHTTP2->PeerCertificateExpiry;
    if (!expiry.isValid())
        return;
    constexpr qint64 SecondsPerDay = 24 * 60 * 60;
    const qint64 left = QDateTime::currentDateTimeUtc().secsTo(expiry);
    if (left > setting(c_.EditCertDays, DefaultCertificateDays) * SecondsPerDay)
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
    FailureStreak& streak = pages_.streaks().grownTo(page);
    if (wasRed || streak.alarmed) {
        s_.ErrorText = QStringLiteral("Recovered after ") + QString::number(streak.failedChecks) +
                       QStringLiteral(" failed checks");
        dispatch_.fireRow(AlarmCondition::Recovered, page);
    }
    streak = {};
}

void CheckCycle::fail(int page, const QString& reason) {
    c_.Timer2->stop();
    status(QStringLiteral("Error retreiving ") + s_.CurrentURL);
    s_.ErrorText = QStringLiteral("Error retrieving: ") + s_.CurrentURL;
    s_.ReplyNumber = c_.NMHTTP2->ReplyNumber;
    pages_.writeStatus(page, PageStatus::Failed);
    pages_.history().PushAccessTime(page, timeOutSetting(c_.EditTimeOut));
    struct Outcome {
        AlarmCondition condition;
        QString status;
        QString errorText;
    };
    QList<Outcome> outcomes;
    if (s_.ReplyNumber >= 400)
        outcomes.append(
            {AlarmCondition::PageNotFound, QStringLiteral(" Failed"), QStringLiteral("Page not found: ")});
    if (s_.InvalidHost)
        outcomes.append({AlarmCondition::HostNotFound, QStringLiteral(" Invalid Host Error"),
                         QStringLiteral("Invalid Host ")});
    const bool timedOut = s_.TimedOut || c_.NMHTTP2->TimerExpired;
    if (timedOut)
        outcomes.append(
            {AlarmCondition::TimeOut, QStringLiteral(" TimeOut Error"), QStringLiteral("TimedOut")});
    // The commonest outage of all, a server that is down, fits none of the above. A fetch the
    // user aborted is no outage, and no failed check either.
    if (s_.ReplyNumber < 400 && !s_.InvalidHost && !timedOut && s_.CheckRunning)
        outcomes.append({AlarmCondition::ConnectionFailed, QStringLiteral(" Connection Failed"),
                         QStringLiteral("Connection failed: ") + reason});
    if (outcomes.isEmpty() || networkDown())
        return;
    // A single lost answer need not wake anybody: the alarms wait for the failed check that
    // confirms the outage, and come again with every one after it.
    FailureStreak& streak = pages_.streaks().grownTo(page);
    const int needed = std::max(1, setting(c_.EditFailCount, DefaultFailCount));
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
        const QString why = network_->ask(c_.EditNetworkCheck->text().trimmed(), *c_.NMHTTP2);
        if (!why.isEmpty())
            log_.AddLogLine(QStringLiteral("Network unavailable, alarms held: ") + why);
    }
    return network_->down();
}

void CheckCycle::Timer2Timer() {
    TNMHTTP& http = *c_.NMHTTP2;
    if (http.Answered) {
        // The answer is in, so the page's time ended with it, even when a dialog keeps the
        // waiting call from returning: a quick answer must not turn slow or time out. A server
        // that holds the connection open after its answer has nothing more to say; closing it
        // ends the wait normally and keeps the answer.
        if (http.Connected)
            http.Disconnect();
        return;
    }
    ++s_.ElapsedSeconds;
    const int timeOut = timeOutSetting(c_.EditTimeOut);
    if (s_.ElapsedSeconds == timeOut) {
        s_.TimedOut = true;
        http.Disconnect();
    }
    if (s_.ElapsedSeconds > timeOut + AbortGraceSeconds) {
        s_.TimedOut = true;
        log_.AddLogLine(QStringLiteral("Aborted: ") + s_.CurrentURL);
        http.Abort();
    }
}

void CheckCycle::NMHTTP2Redirect(bool& Handled) {
    // The cycle follows redirects itself, so every request is timed by its own watchdog.
    Handled = true;
    const std::optional<QString> target = RedirectTarget::fromHeader(c_.NMHTTP2->Header, s_.CurrentURL);
    if (!target)
        return; // no address to go to: the page ends with this reply
    s_.CurrentURL = *target;
    s_.Redirected = true;
    c_.NMHTTP2->Disconnect();
}

void CheckCycle::NMHTTP2InvalidHost(bool& Handled) {
    s_.InvalidHost = true;
    Handled = true;
}

void CheckCycle::CleanupAfterCancel() {
    try {
        // An abort or a close during the passes ends them, and the walk with them.
        for (int pass = 0; pass < CleanupPasses && !stopped(); ++pass) {
            c_.NMHTTP2->Disconnect();
            QCoreApplication::processEvents();
            // The window stays usable during the pause.
            QTimer pause;
            pause.setSingleShot(true);
            pause.start(cleanupPassMs);
            EventWait::until([this, &pause] { return !pause.isActive() || stopped(); });
            if (stopped())
                break;
            c_.NMHTTP2->Canceled = false;
        }
    } catch (...) {
        // Whatever goes wrong while clearing up, the next page starts afresh.
    }
}
