#pragma once

#include <array>

// A page's last access times, in whole seconds, newest first; NoSample marks a position that
// holds no sample yet.
namespace AccessHistory {

inline constexpr int Samples = 35;
inline constexpr int NoSample = -1;
using Row = std::array<int, Samples>;

Row empty();
// The samples move one place towards the old end, the oldest is dropped, and seconds comes first.
void push(Row& row, int seconds);

} // namespace AccessHistory
