#pragma once

class ComponentList;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;
class TCheckListBox;

// The "Setup Web Pages" tab: the page list and its editor controls.
struct WebPagesTab {
    QWidget* TabSheetWebPages;
    QWidget* Panel2;
    QLineEdit* EditURL;
    QPushButton* ButtonAdd;
    QPushButton* ButtonDel;
    QPushButton* ButtonApplyChanges;
    QPushButton* ButtonPageOptions;
    QCheckBox* CheckBoxCheckSize;
    QCheckBox* CheckBoxCheckSignature;
    QCheckBox* CheckBoxCheckDate;
    TCheckListBox* CheckListBoxURL;

    static WebPagesTab build(ComponentList& components);
};
