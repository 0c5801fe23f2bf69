#pragma once

#include <utility>

// Calls an event's handler, when one is bound. The handler is copied first: it may replace the
// event while it runs.
template <typename Event, typename... Args> void fire(const Event& event, Args&&... args) {
    const Event handler = event;
    if (handler)
        handler(std::forward<Args>(args)...);
}
