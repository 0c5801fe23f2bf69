#pragma once

#include <QObject>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;
class PageRecords;
class TCheckListBox;
class TStatusBar;

// The "Setup Web Pages" tab: adding, deleting, editing and selecting monitored pages, with
// every per-page list kept aligned through the page records.
class PageListEditor : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* TabSheetWebPages;
        QLineEdit* EditURL;
        QPushButton* ButtonAdd;
        QPushButton* ButtonDel;
        QPushButton* ButtonApplyChanges;
        QCheckBox* CheckBoxCheckSize;
        QCheckBox* CheckBoxCheckDate;
        QCheckBox* CheckBoxCheckSignature;
        TCheckListBox* CheckListBoxURL;
        TStatusBar* StatusBar1;
    };

    PageListEditor(const Controls& controls, PageRecords& pages, std::function<void()> repaintGrid,
                   QObject* parent = nullptr);

    void ButtonAddClick();
    void ButtonDelClick();
    void ButtonApplyChangesClick();
    void CheckListBoxURLClick();
    void EditURLChange();
    void TabSheetWebPagesShow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addPage(const QString& url);
    void enableApply() const;

    Controls c_;
    PageRecords& pages_;
    std::function<void()> repaintGrid_;
};
