#pragma once

class ComponentList;
class QTableWidget;
class QWidget;

// The "Status" tab: one grid row per monitored page.
struct StatusTab {
    QWidget* TabSheetStatus;
    QTableWidget* DrawGrid1;

    static StatusTab build(ComponentList& components);
};
