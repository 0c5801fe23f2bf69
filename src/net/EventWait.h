#pragma once

#include <QDeadlineTimer>
#include <functional>

// The one way the network layer waits: let the event loop run (timers, socket notifications,
// the user's clicks) until a condition holds. It sleeps in the event dispatcher between events,
// so a slow server costs no CPU, and anything that changes the condition runs inside the wait.
class EventWait {
public:
    static void until(const std::function<bool()>& done);
    // Lets the event loop run until nothing is pending any more, or until the deadline: what the
    // end of the program gives the answers still under way.
    static void untilNonePending(const std::function<int()>& pending, QDeadlineTimer deadline);
    // Handles whatever arrives next (waiting for it if nothing is pending).
    static void once();
};
