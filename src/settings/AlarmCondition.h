#pragma once

#include <QString>

// The outcomes of a page check, one row of the alarm matrix each.
enum class AlarmCondition {
    NoError,
    SlowAccess,
    TimeOut,
    PageNotFound,
    HostNotFound,
    SizeChanged,
    SignatureChanged,
    DateChanged,
    ConnectionFailed,
    CertificateExpiring,
    Recovered,
    ContentCheckFailed,
};
constexpr int AlarmConditionCount = 12;

// The reactions a condition can raise, one column of the alarm matrix each.
enum class AlarmReaction { Log, Yellow, Red, PlayWav, Email1, Email2, Email3, Chat };
constexpr int AlarmReactionCount = 8;

// The row's name, as the Alarms tab writes it.
QString alarmConditionName(AlarmCondition condition);
