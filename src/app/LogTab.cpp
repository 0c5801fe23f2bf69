#include "app/LogTab.h"

#include "app/ComponentList.h"

#include <QTextEdit>
#include <QVBoxLayout>

LogTab LogTab::build(ComponentList& components) {
    LogTab t{};
    t.TabSheetLog = components.add(new QWidget, "TabSheetLog");
    t.Log = components.add(new QTextEdit, "Log");
    t.Log->setToolTip(QStringLiteral("Log of events"));
    t.Log->setReadOnly(true);
    t.Log->setAcceptRichText(false);
    t.Log->setLineWrapMode(QTextEdit::NoWrap);
    t.Log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t.Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t.Log->setPlainText(QStringLiteral("Korvane Log"));
    auto* layout = new QVBoxLayout(t.TabSheetLog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(t.Log);
    return t;
}
