#pragma once

class ComponentList;
class TDrawGrid;
class QWidget;

// The "Status" tab: one grid row per monitored page.
struct StatusTab {
    QWidget* TabSheetStatus;
    TDrawGrid* DrawGrid1;

    static StatusTab build(ComponentList& components);
};
