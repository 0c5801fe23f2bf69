#include "net/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void EventWait::until(const std::function<bool()>& done) {
    while (!done())
        once();
}

void EventWait::untilNonePending(const std::function<int()>& pending, QDeadlineTimer deadline) {
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(int(qMax<qint64>(0, deadline.remainingTime())));
    until([&pending, &limit] { return pending() == 0 || !limit.isActive(); });
}

void EventWait::once() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
