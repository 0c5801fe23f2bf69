#include "app/MiscTab.h"

#include "app/ComponentList.h"
#include "pages/PageRecords.h"
#include "views/TCheckListBox.h"

#include <QHBoxLayout>

MiscTab MiscTab::build(ComponentList& components) {
    MiscTab t{};
    t.TabSheet3 = components.add(new QWidget, "TabSheet3");
    t.ListBoxStatus = components.add(new QListView, "ListBoxStatus");
    t.SizeList = components.add(new TCheckListBox, "SizeList");
    t.LastDateList = components.add(new TCheckListBox, "LastDateList");
    t.SignatureList = components.add(new TCheckListBox, "SignatureList");
    auto* layout = new QHBoxLayout(t.TabSheet3);
    for (QListView* list :
         {t.ListBoxStatus, static_cast<QListView*>(t.SizeList), static_cast<QListView*>(t.LastDateList),
          static_cast<QListView*>(t.SignatureList)})
        layout->addWidget(list);
    return t;
}

void MiscTab::showPages(PageRecords& pages) const {
    ListBoxStatus->setModel(&pages);
    ListBoxStatus->setModelColumn(PageRecords::Status);
    SizeList->showList(&pages, PageRecords::Size);
    LastDateList->showList(&pages, PageRecords::Date);
    SignatureList->showList(&pages, PageRecords::Signature);
}
