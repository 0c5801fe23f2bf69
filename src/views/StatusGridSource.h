#pragma once

#include <QString>

#include <array>
#include <functional>
#include <optional>

// What the status grid reads at paint time, each value fetched afresh when it is needed.
struct StatusGridSource {
    static constexpr int kHistoryLength = 35;
    using History = std::array<int, kHistoryLength>;

    std::function<int()> pageCount;
    // The page's status code, 0 to 5.
    std::function<int(int page)> pageStatus;
    std::function<QString(int page)> pageUrl;
    // What held the page's alarms at its last check ("maintenance", ...); empty: nothing. May be
    // left unset.
    std::function<QString(int page)> pageHeld;
    // Access times in seconds, position 0 newest; -1 where there is no sample.
    std::function<History(int page)> accessHistory;
    // The slow-access limit and the time-out, in seconds: the chart's colours change there.
    std::function<int()> slowSeconds;
    std::function<int()> timeOutSeconds;
    // The share of the page's checks over the last so many days that succeeded, in percent; none
    // without a check.
    std::function<std::optional<double>(int page, int days)> uptime;
};
