#include "app/LogTab.h"

#include "app/ComponentList.h"
#include "views/LogView.h"

#include <QVBoxLayout>

LogTab LogTab::build(ComponentList& components) {
    LogTab t{};
    t.TabSheetLog = components.add(new QWidget, "TabSheetLog");
    t.Log = components.add(new LogView, "Log");
    t.Log->setToolTip(QStringLiteral("Log of events"));
    t.Log->setPlainText(QStringLiteral("Korvane Log"));
    auto* layout = new QVBoxLayout(t.TabSheetLog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(t.Log);
    return t;
}
