#pragma once

#include "net/NetworkState.h"

// The platform's word on the network, as the test says it.
class FakeNetworkState : public NetworkState {
public:
    bool isOffline = false;
    bool offline() override { return isOffline; }
};
