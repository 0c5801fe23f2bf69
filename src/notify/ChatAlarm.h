#pragma once

#include <QString>
#include <array>

// One page's alarm as a chat message carries it.
struct ChatAlarm {
    QString page;                                  // the page's address as listed
    QString outcome;                               // the alarm row's name, e.g. "Page Not Found", "Recovered"
    QString error;                                 // the error text of the page's check
    int code = 0;                                  // the HTTP status code, 0 when none
    QString status;                                // "red", "yellow" or "ok"
    std::array<bool, 3> targets{true, true, true}; // the chat targets it goes to
    int held = 0;                                  // the pages held because this one is down
};
