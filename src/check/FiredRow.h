#pragma once

#include "settings/AlarmCondition.h"

#include <QString>

// A row of the alarm matrix that a page's check fires, with the error text its reactions carry
// (the log line, the mail, the chat message) and the status text shown just before it, if any.
struct FiredRow {
    AlarmCondition condition;
    QString errorText;
    QString statusText;
    bool operator==(const FiredRow&) const = default;
};
