#pragma once

#include "net/MachineClocks.h"

// The kernel's monotonic clock, which stops during suspend, and its boot-time clock, which
// does not.
class PlatformClocks : public MachineClocks {
public:
    qint64 awakeMs() override;
    qint64 sinceBootMs() override;
};
