#pragma once

#include <QObject>
#include <functional>

struct AddressLogin;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;
class PageRecords;
class TCheckListBox;
class TStatusBar;

// The "Setup Web Pages" tab: adding, deleting, editing and selecting monitored pages and their
// options, with every per-page list kept aligned through the page records. An address typed
// with a password keeps its user; the password goes into the page's options.
class PageListEditor : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* TabSheetWebPages;
        QLineEdit* EditURL;
        QPushButton* ButtonAdd;
        QPushButton* ButtonDel;
        QPushButton* ButtonApplyChanges;
        QPushButton* ButtonPageOptions;
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
    // Opens the selected page's options; OK gives the page the options entered.
    void ButtonPageOptionsClick();
    void CheckListBoxURLClick();
    void EditURLChange();
    void TabSheetWebPagesShow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addPage(const QString& url, const AddressLogin& login);
    void enableApply() const;
    void enablePageOptions() const;
    int selectedPage() const;

    Controls c_;
    PageRecords& pages_;
    std::function<void()> repaintGrid_;
};
