#pragma once

#include "pages/MaintenanceWindow.h"

#include <QJsonObject>
#include <QString>

// A maintenance window in a page list file:
//   {"name": "deploy", "pages": ["https://shop.example/"], "start": "2026-12-24T22:00",
//    "end": "2026-12-24T23:30"}
//   {"name": "backup", "pages": "all", "every": ["Mon", "Thu"], "at": "23:00", "duration": "1h",
//    "timeZone": "Europe/Berlin"}
// Times without a zone are in the window's time zone.
namespace MaintenanceJson {

QJsonObject write(const MaintenanceWindow& window);
// Returns what is wrong, naming the field ("at: ..."); empty when the window is right.
QString read(const QJsonObject& object, MaintenanceWindow& window);

} // namespace MaintenanceJson
