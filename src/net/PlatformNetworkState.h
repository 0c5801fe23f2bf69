#pragma once

#include "net/NetworkState.h"

// The platform's word on the network (NetworkManager on the desktop). Only a machine the
// platform calls disconnected is offline; a platform that cannot tell counts as online, so its
// silence never hides an alarm.
class PlatformNetworkState : public NetworkState {
public:
    bool offline() override;
};
