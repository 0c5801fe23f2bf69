#pragma once

class ComponentList;
class QTextEdit;
class QWidget;

// The "Log" tab: the activity log, filling the tab.
struct LogTab {
    QWidget* TabSheetLog;
    QTextEdit* Log;

    static LogTab build(ComponentList& components);
};
