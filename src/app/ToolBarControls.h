#pragma once

class ComponentList;
class QToolBar;
class QToolButton;

// The toolbar's three buttons: check once, scheduled checks (a toggle), abort.
struct ToolBarControls {
    QToolBar* ToolBar1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButtonStart;
    QToolButton* SpeedButton2;

    static ToolBarControls build(ComponentList& components);
};
