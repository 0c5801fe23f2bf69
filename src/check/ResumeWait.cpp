#include "check/ResumeWait.h"

#include "net/PlatformClocks.h"

#include <QTimer>
#include <utility>

ResumeWait::ResumeWait(std::function<bool()> offline, QObject* parent)
    : QObject(parent), offline_(std::move(offline)), sampler_(new QTimer(this)), poller_(new QTimer(this)) {
    useClocks(std::make_unique<PlatformClocks>());
    sampler_->setTimerType(Qt::VeryCoarseTimer);
    sampler_->setInterval(SampleMs);
    connect(sampler_, &QTimer::timeout, this, &ResumeWait::sample);
    sampler_->start();
    poller_->setInterval(PollMs);
    connect(poller_, &QTimer::timeout, this, &ResumeWait::poll);
}

ResumeWait::~ResumeWait() = default;

void ResumeWait::useClocks(std::unique_ptr<MachineClocks> clocks) {
    clocks_ = std::move(clocks);
    lastAwakeMs_ = clocks_->awakeMs();
    lastBootMs_ = clocks_->sinceBootMs();
    resumedAtMs_.reset();
}

void ResumeWait::sample() {
    const qint64 awake = clocks_->awakeMs();
    const qint64 boot = clocks_->sinceBootMs();
    if ((boot - lastBootMs_) - (awake - lastAwakeMs_) > SleepGapMs)
        resumedAtMs_ = awake;
    lastAwakeMs_ = awake;
    lastBootMs_ = boot;
}

// The platform is only asked after a resume: most runs never load its backend.
bool ResumeWait::mustWait() {
    return resumedAtMs_ && clocks_->awakeMs() - *resumedAtMs_ < NetworkWaitMs && offline_();
}

bool ResumeWait::runOrWait(std::function<void()> cycle) {
    // The timer may fire before the sampler after a resume.
    sample();
    if (!mustWait()) {
        cancel();
        cycle();
        return true;
    }
    kept_ = std::move(cycle);
    poller_->start();
    return false;
}

bool ResumeWait::waiting() const {
    return poller_->isActive();
}

void ResumeWait::cancel() {
    poller_->stop();
    kept_ = nullptr;
}

void ResumeWait::poll() {
    sample();
    if (mustWait())
        return;
    const std::function<void()> cycle = std::exchange(kept_, nullptr);
    poller_->stop();
    if (cycle)
        cycle();
}
