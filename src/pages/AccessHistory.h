#pragma once

#include "pages/PageRows.h"

#include <array>

inline constexpr int AccessSamples = 35;

// The last access times of every page, in whole seconds, newest first; NoSample marks a
// position that holds no sample yet.
class AccessHistory : public PageRows<std::array<int, AccessSamples>> {
public:
    static constexpr int Samples = AccessSamples;
    static constexpr int NoSample = -1;
    using Row = std::array<int, Samples>;

    AccessHistory();

    int sample(int page, int position) const { return row(page)[position]; }
    void PushAccessTime(int page, int seconds);
};
