#pragma once

// Outcome of a page's latest check; the digit is stored in the status list and is also the
// index of the page's picture in the status grid.
enum class PageStatus : int {
    Failed = 0,
    Excluded = 1,
    Checking = 2,
    Ok = 3,
    YellowAlarm = 4,
    RedAlarm = 5,
};
