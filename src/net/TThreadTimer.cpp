#include "net/TThreadTimer.h"

#include <limits>
#include <stdexcept>

TThreadTimer::TThreadTimer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Copy first: the tick may replace the handler while it runs.
        const TNotifyEvent tick = onTimer_;
        if (tick)
            tick(this);
    });
}

void TThreadTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void TThreadTimer::SetInterval(quint32 milliseconds) {
    interval_ = milliseconds;
    restart();
}

void TThreadTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    restart();
}

void TThreadTimer::restart() {
    timer_.stop();
    if (interval_ == 0 || !enabled_ || !onTimer_)
        return;
    // QTimer counts in int milliseconds; longer intervals simply become the longest it can do.
    constexpr quint32 longest = quint32(std::numeric_limits<int>::max());
    timer_.start(int(qMin(interval_, longest)));
    if (!timer_.isActive())
        throw std::runtime_error("No Timer");
}
