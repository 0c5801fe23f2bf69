#include "net/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>

void EventWait::until(const std::function<bool()>& done) {
    while (!done())
        once();
}

void EventWait::once() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
