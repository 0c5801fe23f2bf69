#pragma once

class ComponentList;
class QToolBar;
class QToolButton;

// The toolbar's buttons: check once, scheduled checks (a toggle), abort; pause alarms (a
// drop-down of lengths) and resume them.
struct ToolBarControls {
    QToolBar* ToolBar1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButtonStart;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButtonPause;
    QToolButton* SpeedButtonResume;

    static ToolBarControls build(ComponentList& components);
};
