#include "app/StatusTab.h"

#include "app/ComponentList.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

StatusTab StatusTab::build(ComponentList& components) {
    StatusTab t{};
    t.TabSheetStatus = components.add(new QWidget, "TabSheetStatus");
    t.DrawGrid1 = components.add(new QTableWidget(0, 4), "DrawGrid1");
    t.DrawGrid1->setToolTip(
        QStringLiteral("Current status of web documents, click on link to browse to the document."));
    t.DrawGrid1->horizontalHeader()->hide();
    t.DrawGrid1->verticalHeader()->hide();
    t.DrawGrid1->verticalHeader()->setDefaultSectionSize(20);
    const int widths[] = {9, 16, 339, 148};
    for (int column = 0; column < 4; ++column)
        t.DrawGrid1->setColumnWidth(column, widths[column]);
    t.DrawGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(t.TabSheetStatus);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(t.DrawGrid1);
    return t;
}
