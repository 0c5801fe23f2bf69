#include "views/RepaintThrottle.h"

#include <QWidget>

RepaintThrottle::RepaintThrottle(QWidget* target, int intervalMs) : QObject(target), target_(target) {
    timer_.setSingleShot(true);
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (target_)
            target_->update();
    });
}

void RepaintThrottle::request() {
    if (!timer_.isActive())
        timer_.start();
}
