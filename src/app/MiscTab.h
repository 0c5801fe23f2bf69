#pragma once

class ComponentList;
class PageRecords;
class QListView;
class QWidget;
class TCheckListBox;

// The hidden "Misc" tab: the pages' statuses and values beside the page list.
struct MiscTab {
    QWidget* TabSheet3;
    QListView* ListBoxStatus;
    TCheckListBox* SizeList;
    TCheckListBox* LastDateList;
    TCheckListBox* SignatureList;

    static MiscTab build(ComponentList& components);
    void showPages(PageRecords& pages) const;
};
