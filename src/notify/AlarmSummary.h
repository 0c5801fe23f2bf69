#pragma once

#include <QString>

// One line for a cycle's alarms, as a notice's or a message's title: "Korvane: 2 pages red,
// 1 yellow, 1 back". The noun goes with the first count; counts of nought are left out.
QString alarmSummary(qsizetype red, qsizetype yellow, qsizetype back = 0);
