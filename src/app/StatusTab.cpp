#include "app/StatusTab.h"

#include "app/ComponentList.h"
#include "views/StatusGrid.h"
#include "views/TDrawGrid.h"

#include <QVBoxLayout>

StatusTab StatusTab::build(ComponentList& components) {
    StatusTab t{};
    t.TabSheetStatus = components.add(new QWidget, "TabSheetStatus");
    t.DrawGrid1 = components.add(new TDrawGrid, "DrawGrid1");
    StatusGrid::configure(t.DrawGrid1);
    auto* layout = new QVBoxLayout(t.TabSheetStatus);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(t.DrawGrid1);
    return t;
}
