#pragma once

#include "support/net/PeerProcess.h"

// tinyproxy, a real HTTP proxy, taking clients on 127.0.0.1 only.
class TinyproxyPeer : public PeerProcess {
public:
    bool start();
};
