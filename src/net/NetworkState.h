#pragma once

// Whether the machine itself is offline. When it is, every page fails at once, and that outage
// is the user's own, not the pages'.
class NetworkState {
public:
    virtual ~NetworkState() = default;
    virtual bool offline() = 0;
};
