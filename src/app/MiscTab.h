#pragma once

class ComponentList;
class QListWidget;
class QWidget;
class TCheckListBox;

// The hidden "Misc" tab holding the per-page lists beside the page list.
struct MiscTab {
    QWidget* TabSheet3;
    QListWidget* ListBoxStatus;
    TCheckListBox* SizeList;
    TCheckListBox* LastDateList;
    TCheckListBox* SignatureList;

    static MiscTab build(ComponentList& components);
};
