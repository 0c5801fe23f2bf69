#include "settings/AlarmCondition.h"

#include <array>

QString alarmConditionName(AlarmCondition condition) {
    static const std::array<const char*, AlarmConditionCount> names = {
        "No Error",          "Slow Access",          "TimeOut",           "Page Not Found",
        "Host Not Found",    "Size Changed",         "Signature Changed", "Date Changed",
        "Connection Failed", "Certificate Expiring", "Recovered",         "Content Check Failed"};
    return QString::fromLatin1(names[std::size_t(condition)]);
}
