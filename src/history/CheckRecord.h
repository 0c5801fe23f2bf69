#pragma once

#include <QString>
#include <optional>

// Where a page stood after a check, so that a restart carries on from there: its status digit,
// its failed checks since the last success, and whether the last of them raised its alarms.
struct PageMark {
    int status = 0;
    int failedChecks = 0;
    bool alarmed = false;
};

// One check of one page as the history keeps it.
struct CheckRecord {
    // held of a check in a maintenance window: unlike the other holds, it does not count against
    // the page's uptime.
    static constexpr const char* Maintenance = "maintenance";

    qint64 timeMs = 0; // UTC, ms since 1970
    QString address;
    QString outcome; // the alarm row that decided the page's status, as the Alarms tab names it
    bool up = true;  // the page answered without an error
    int code = 0;    // the HTTP status; 0 when none came
    qint64 ms = 0;   // the whole check
    // The phases; none when the phase did not happen.
    std::optional<qint64> lookupMs;
    std::optional<qint64> connectMs;
    std::optional<qint64> tlsMs;
    std::optional<qint64> firstByteMs;
    QString error;
    // Why the check's alarms were held: "maintenance", "paused" or "dependency"; empty: they
    // were not.
    QString held;
    // How many records a DNS check's answer held; none for another kind of check. Not kept in
    // the history.
    std::optional<int> dnsAnswers;
    PageMark mark;
};
