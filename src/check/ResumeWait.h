#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class MachineClocks;
class QTimer;

// A machine waking from sleep runs its overdue timers at once, while its network is often still
// coming up, and every page would fail. So the scheduled cycle that comes soon after a resume
// waits until the platform reports the network, or until the resume is NetworkWaitMs old.
class ResumeWait : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 NetworkWaitMs = 30000;
    // Boot time gained over awake time beyond this was a sleep, not a busy moment.
    static constexpr qint64 SleepGapMs = 2000;
    // How often the clocks are compared, which is how close the resume is known.
    static constexpr int SampleMs = 5000;
    static constexpr int PollMs = 1000;

    // offline: the platform's word on the network.
    explicit ResumeWait(std::function<bool()> offline, QObject* parent = nullptr);
    ~ResumeWait() override;

    // Replaces the kernel's clocks, which no test can put to sleep.
    void useClocks(std::unique_ptr<MachineClocks> clocks);

    // Runs the cycle now and returns true, or keeps it until the network is back or the wait is
    // over, and returns false. A cycle kept before is replaced.
    bool runOrWait(std::function<void()> cycle);
    bool waiting() const;
    // The kept cycle will not run.
    void cancel();

private:
    void sample();
    bool mustWait();
    void poll();

    std::function<bool()> offline_;
    std::unique_ptr<MachineClocks> clocks_;
    QTimer* sampler_;
    QTimer* poller_;
    std::function<void()> kept_;
    qint64 lastAwakeMs_ = 0;
    qint64 lastBootMs_ = 0;
    std::optional<qint64> resumedAtMs_; // on the awake clock
};
