#include "check/CheckCycle.h"

#include "check/CheckState.h"
#include "check/CycleRun.h"
#include "check/NetworkCheck.h"
#include "check/ResumeWait.h"
#include "notify/DialogService.h"
#include "notify/StatusLine.h"
#include "settings/ConnectionSettings.h"
#include "settings/Settings.h"

#include <QTimer>

namespace {
constexpr int FirstScheduledCycleMs = 1000;
}

CheckCycle::CheckCycle(const Controls& controls, const Calls& calls, PageRecords& pages, ActivityLog& log,
                       CheckState& state, AlarmDispatch& dispatch, HistoryStore& history,
                       DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), s_(state), dialogs_(dialogs), network_(new NetworkCheck(this)),
      resume_(new ResumeWait([this] { return network_->offline(); }, this)),
      run_(new CycleRun({pages, log, state, dispatch, history, *network_, *controls.settings,
                         *controls.status, controls.Timer2, *controls.maintenance, *controls.pause},
                        calls, this)) {
    connect(c_.Timer1, &QTimer::timeout, this, &CheckCycle::Timer1Timer);
    connect(run_, &CycleRun::finished, this, &CheckCycle::finished);
    connect(run_, &CycleRun::pageChecked, this, &CheckCycle::pageChecked);
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
    c_.status->setText(QString());
}

void CheckCycle::Timer1Timer() {
    // A tick during a cycle passes, as the cycle would let it.
    if (!mayStart())
        return;
    if (!resume_->runOrWait([this] { CheckWebPagesExecute(); }))
        c_.status->setText(QStringLiteral("Waiting for the network after sleep"));
}

void CheckCycle::AbortCheckExecute() {
    stopWaiting();
    s_.CheckRunning = false;
    network_->abort();
    run_->abort();
}

void CheckCycle::terminate() {
    terminating_ = true;
    s_.CheckRunning = false;
    c_.Timer1->stop();
    resume_->cancel();
    // A check of the network address under way ends too, so the close does not wait for it.
    network_->abort();
    run_->terminate();
    emit cycleFinished();
}

bool CheckCycle::mayStart() const {
    return !s_.CheckRunning && !run_->running() && !terminating_ && !showingError_;
}

void CheckCycle::CheckWebPagesExecute() {
    if (!mayStart())
        return;
    s_.CheckRunning = true;
    // A scheduled cycle still waiting for the network after a sleep is this one now.
    resume_->cancel();
    // Changing the interval restarts the countdown, so it is only set when it differs: later
    // scheduled cycles then start one interval apart.
    const int interval = ConnectionSettings::intervalMs(c_.settings->text(QStringLiteral("EditInterval")));
    if (c_.Timer1->interval() != interval)
        c_.Timer1->setInterval(interval);
    emit cycleStarted();
    run_->start();
}

bool CheckCycle::checkNow() {
    if (!mayStart())
        return false;
    CheckWebPagesExecute();
    return true;
}

void CheckCycle::finished(const QString& soundError) {
    if (!soundError.isEmpty()) {
        showingError_ = true;
        dialogs_.showError(soundError);
        showingError_ = false;
    }
    emit cycleFinished();
}
