#pragma once

#include "history/CheckRecord.h"

#include <QString>

// The history lies beside the settings and is named after them: "KV.ini" gives
// "KV.history.sqlite", and any other file has its extension replaced the same way.
QString historyFileFor(const QString& settingsFile);

// The address as the history keeps it: without a password.
QString withoutPassword(const QString& address);

// A check as the history may keep it: a password in its address is in neither the address nor
// the error text.
CheckRecord withoutPassword(const CheckRecord& check);
