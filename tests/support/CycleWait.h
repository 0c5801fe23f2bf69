#pragma once

#include "check/CheckCycle.h"

#include <QEventLoop>
#include <QTimer>

// Runs the event loop until the cycle that runs is over (or was never started): true, or false
// when timeoutMs passed first.
inline bool waitForCycle(CheckCycle& cycle, const bool& running, int timeoutMs) {
    if (!running)
        return true;
    QEventLoop loop;
    QObject::connect(&cycle, &CheckCycle::cycleFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !running;
}
