#include "pages/PageListEditor.h"

#include "pages/PageAddress.h"
#include "pages/PageRecords.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

PageListEditor::PageListEditor(const Controls& controls, PageRecords& pages,
                               std::function<void()> repaintGrid, QObject* parent)
    : QObject(parent), c_(controls), pages_(pages), repaintGrid_(std::move(repaintGrid)) {
    c_.ButtonApplyChanges->setEnabled(false);
    connect(c_.ButtonAdd, &QPushButton::clicked, this, &PageListEditor::ButtonAddClick);
    connect(c_.ButtonDel, &QPushButton::clicked, this, &PageListEditor::ButtonDelClick);
    connect(c_.ButtonApplyChanges, &QPushButton::clicked, this, &PageListEditor::ButtonApplyChangesClick);
    connect(c_.EditURL, &QLineEdit::textChanged, this, &PageListEditor::EditURLChange);
    connect(c_.CheckListBoxURL, &TCheckListBox::userClick, this, &PageListEditor::CheckListBoxURLClick);
    for (QCheckBox* box : {c_.CheckBoxCheckSize, c_.CheckBoxCheckDate, c_.CheckBoxCheckSignature})
        connect(box, &QCheckBox::toggled, this, &PageListEditor::enableApply);
    // Enter adds the address, even while "+" is disabled.
    c_.EditURL->installEventFilter(this);
}

bool PageListEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.EditURL && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ButtonAddClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PageListEditor::enableApply() const {
    c_.ButtonApplyChanges->setEnabled(true);
}

void PageListEditor::ButtonAddClick() {
    const QString url = storablePageAddress(c_.EditURL->text());
    c_.ButtonApplyChanges->setEnabled(false);
    try {
        addPage(url);
    } catch (...) {
        c_.StatusBar1->setSimpleText(QStringLiteral("Error Adding ") + url + QStringLiteral(" to the List"));
    }
}

void PageListEditor::addPage(const QString& url) {
    if (c_.CheckListBoxURL->indexOfText(url) >= 0) {
        c_.StatusBar1->setSimpleText(url + QStringLiteral(" Already in the List"));
        return;
    }
    pages_.addPage(url, c_.CheckBoxCheckSize->isChecked(), c_.CheckBoxCheckDate->isChecked(),
                   c_.CheckBoxCheckSignature->isChecked());
    if (repaintGrid_)
        repaintGrid_();
    c_.StatusBar1->setSimpleText(url + QStringLiteral(" Added to List"));
    c_.EditURL->setText(QStringLiteral("http://"));
}

void PageListEditor::ButtonDelClick() {
    pages_.deletePage(c_.CheckListBoxURL->selectedIndex());
    c_.ButtonApplyChanges->setEnabled(false);
}

void PageListEditor::ButtonApplyChangesClick() {
    const int i = c_.CheckListBoxURL->selectedIndex();
    if (i >= 0 && i < pages_.pageCount()) {
        const bool included = c_.CheckListBoxURL->isChecked(i);
        c_.CheckListBoxURL->setItemText(i, storablePageAddress(c_.EditURL->text()));
        c_.CheckListBoxURL->setChecked(i, included);
        const auto& lists = pages_.controls();
        lists.SizeList->setChecked(i, c_.CheckBoxCheckSize->isChecked());
        lists.LastDateList->setChecked(i, c_.CheckBoxCheckDate->isChecked());
        lists.SignatureList->setChecked(i, c_.CheckBoxCheckSignature->isChecked());
    }
    c_.ButtonApplyChanges->setEnabled(false);
}

void PageListEditor::CheckListBoxURLClick() {
    const int i = c_.CheckListBoxURL->selectedIndex();
    if (i >= 0 && i < pages_.pageCount()) {
        c_.EditURL->setText(pages_.url(i));
        const auto& lists = pages_.controls();
        c_.CheckBoxCheckSize->setChecked(lists.SizeList->isChecked(i));
        c_.CheckBoxCheckDate->setChecked(lists.LastDateList->isChecked(i));
        c_.CheckBoxCheckSignature->setChecked(lists.SignatureList->isChecked(i));
    }
    c_.ButtonApplyChanges->setEnabled(false);
}

void PageListEditor::EditURLChange() {
    c_.ButtonApplyChanges->setEnabled(true);
    const bool listed = c_.CheckListBoxURL->indexOfText(storablePageAddress(c_.EditURL->text())) >= 0;
    c_.ButtonAdd->setEnabled(!listed);
    c_.ButtonDel->setEnabled(listed);
}

void PageListEditor::TabSheetWebPagesShow() {
    if (c_.CheckListBoxURL->selectedIndex() < 0 && c_.CheckListBoxURL->itemCount() > 0)
        c_.CheckListBoxURL->setCurrentRow(0);
    CheckListBoxURLClick();
}
