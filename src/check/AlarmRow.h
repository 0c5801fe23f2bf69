#pragma once

#include <QString>
#include <array>

class QCheckBox;

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

// The row's name, as the Alarms tab writes it.
QString alarmConditionName(AlarmCondition condition);

// The reaction boxes of one condition; a box the row does not have is null ("No Error" has
// only the log box).
struct AlarmRow {
    QCheckBox* Log = nullptr;
    QCheckBox* Yellow = nullptr;
    QCheckBox* Red = nullptr;
    QCheckBox* PlayWav = nullptr;
    QCheckBox* Email1 = nullptr;
    QCheckBox* Email2 = nullptr;
    QCheckBox* Email3 = nullptr;
    QCheckBox* Chat = nullptr;
};

using AlarmRows = std::array<AlarmRow, AlarmConditionCount>;
