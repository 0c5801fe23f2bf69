#include "app/MiscTab.h"

#include "app/ComponentList.h"
#include "views/TCheckListBox.h"

#include <QHBoxLayout>
#include <QListWidget>

namespace {

TCheckListBox* valueList(ComponentList& components, const char* name, int designRows) {
    auto* list = components.add(new TCheckListBox, name);
    for (int i = 0; i < designRows; ++i)
        list->appendItem(QString());
    return list;
}

} // namespace

MiscTab MiscTab::build(ComponentList& components) {
    MiscTab t{};
    t.TabSheet3 = components.add(new QWidget, "TabSheet3");
    t.ListBoxStatus = components.add(new QListWidget, "ListBoxStatus");
    for (int i = 0; i < 15; ++i)
        t.ListBoxStatus->addItem(QStringLiteral("0"));
    t.SizeList = valueList(components, "SizeList", 17);
    t.LastDateList = valueList(components, "LastDateList", 18);
    t.SignatureList = valueList(components, "SignatureList", 18);
    auto* layout = new QHBoxLayout(t.TabSheet3);
    for (QListWidget* list :
         {t.ListBoxStatus, static_cast<QListWidget*>(t.SizeList), static_cast<QListWidget*>(t.LastDateList),
          static_cast<QListWidget*>(t.SignatureList)})
        layout->addWidget(list);
    return t;
}
