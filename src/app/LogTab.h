#pragma once

class ComponentList;
class LogView;
class QWidget;

// The "Log" tab: the activity log, filling the tab.
struct LogTab {
    QWidget* TabSheetLog;
    LogView* Log;

    static LogTab build(ComponentList& components);
};
