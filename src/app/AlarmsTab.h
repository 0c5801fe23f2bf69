#pragma once

#include "check/AlarmRow.h"

class ComponentList;
class QLineEdit;
class QPushButton;
class QWidget;

// The "Alarms" tab: the matrix of reaction boxes and the two sound files.
struct AlarmsTab {
    QWidget* TabSheet5;
    AlarmRows rows;
    QLineEdit* EditYWavFileName;
    QPushButton* ButtonBrowseYwav;
    QLineEdit* EditRWavFileName;
    QPushButton* Button1;

    static AlarmsTab build(ComponentList& components);
};
