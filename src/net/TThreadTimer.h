#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// A repeating timer that runs its tick on the event thread. Any change of Enabled, Interval or
// OnTimer restarts it; it only runs while it is enabled, has an interval and has a tick.
class TThreadTimer : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TThreadTimer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    quint32 Interval() const { return interval_; }
    void SetInterval(quint32 milliseconds);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    bool isRunning() const { return timer_.isActive(); }

private:
    void restart();

    bool enabled_ = true;
    quint32 interval_ = 1000;
    TNotifyEvent onTimer_;
    QTimer timer_;
};
