#pragma once

#include <QtGlobal>

// The two clocks that tell a sleep from a busy moment: the awake clock stops while the machine
// is suspended, the boot clock runs on. Whatever the boot clock gained over the awake clock
// was spent asleep.
class MachineClocks {
public:
    virtual ~MachineClocks() = default;
    virtual qint64 awakeMs() = 0;
    virtual qint64 sinceBootMs() = 0;
};
