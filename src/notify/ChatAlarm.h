#pragma once

#include <QString>

// One page's alarm as a chat message carries it.
struct ChatAlarm {
    QString page;    // the page's address as listed
    QString outcome; // the alarm row's name, e.g. "Page Not Found", "Recovered"
    QString error;   // the error text of the page's check
    int code = 0;    // the HTTP status code, 0 when none
    QString status;  // "red", "yellow" or "ok"
};
