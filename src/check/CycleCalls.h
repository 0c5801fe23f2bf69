#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <utility>

// Calls f when it is set: a program without a window leaves the window's calls empty.
template <class Call, class... Args> void callIfSet(const Call& f, Args&&... args) {
    if (f)
        f(std::forward<Args>(args)...);
}

// What a cycle asks of the window it runs in: the tray's picture, a repaint of the grid, the
// desktop notice of its alarms, the tray's word on the network. Each may be left empty.
struct CycleCalls {
    std::function<void(int)> ShowTrayState;
    std::function<void()> RepaintGrid;
    // The walk ended having raised red or yellow; the pages held because another was down, by
    // its address.
    std::function<void(const QHash<QString, int>&)> AlarmsRaised;
    // Whether this cycle held its page alarms because the network was down.
    std::function<void(bool)> ShowNetworkUnavailable;
};
