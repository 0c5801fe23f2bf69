#pragma once

#include "settings/AlarmCondition.h"

#include <QString>
#include <array>

class QCheckBox;

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
