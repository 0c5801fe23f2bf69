#include "net/PlatformClocks.h"

#include <ctime>

namespace {

qint64 milliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

qint64 PlatformClocks::awakeMs() {
    return milliseconds(CLOCK_MONOTONIC);
}

qint64 PlatformClocks::sinceBootMs() {
    return milliseconds(CLOCK_BOOTTIME);
}
