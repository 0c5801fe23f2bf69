#pragma once

#include "views/AlarmRow.h"

class ComponentList;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The "Alarms" tab: the matrix of reaction boxes, the two sound files, the desktop notification,
// reminders of a page still down, and the maintenance windows.
struct AlarmsTab {
    QWidget* TabSheet5;
    AlarmRows rows;
    QLineEdit* EditYWavFileName;
    QPushButton* ButtonBrowseYwav;
    QLineEdit* EditRWavFileName;
    QPushButton* Button1;
    QCheckBox* CheckBoxDesktopNotification;
    QLineEdit* EditRemindEvery;
    QPushButton* ButtonMaintenance;

    static AlarmsTab build(ComponentList& components);
};
