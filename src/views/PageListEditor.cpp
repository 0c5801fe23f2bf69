#include "views/PageListEditor.h"

#include "net/AddressLogin.h"
#include "pages/PageAddress.h"
#include "pages/PageCursor.h"
#include "pages/PageDependencies.h"
#include "pages/PageRecords.h"
#include "views/PageOptionsDialog.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

// What the page depending on that address would make wrong in the list: the problems it would
// bring that the list does not have without it.
QString dependencyProblem(const PageRecords& pages, int page, const QString& dependsOn) {
    QStringList addresses;
    QStringList parents;
    for (int other = 0; other < pages.pageCount(); ++other) {
        addresses.append(pages.url(other));
        parents.append(other == page ? QString() : pages.options(other).dependsOn);
    }
    const QStringList before = PageDependencies(addresses, parents).problems();
    parents[page] = dependsOn;
    QStringList brought = PageDependencies(addresses, parents).problems();
    for (const QString& problem : before)
        brought.removeOne(problem);
    return brought.join(QLatin1Char('\n'));
}

} // namespace

PageListEditor::PageListEditor(const Controls& controls, PageRecords& pages,
                               std::function<void()> repaintGrid, QObject* parent)
    : QObject(parent), c_(controls), pages_(pages), repaintGrid_(std::move(repaintGrid)) {
    c_.ButtonApplyChanges->setEnabled(false);
    connect(c_.ButtonAdd, &QPushButton::clicked, this, &PageListEditor::ButtonAddClick);
    connect(c_.ButtonDel, &QPushButton::clicked, this, &PageListEditor::ButtonDelClick);
    connect(c_.ButtonApplyChanges, &QPushButton::clicked, this, &PageListEditor::ButtonApplyChangesClick);
    connect(c_.ButtonPageOptions, &QPushButton::clicked, this, &PageListEditor::ButtonPageOptionsClick);
    connect(c_.CheckListBoxURL, &TCheckListBox::currentRowChanged, this, &PageListEditor::enablePageOptions);
    connect(&pages_, &QAbstractItemModel::rowsRemoved, this, &PageListEditor::enablePageOptions);
    enablePageOptions();
    connect(c_.EditURL, &QLineEdit::textChanged, this, &PageListEditor::EditURLChange);
    connect(c_.CheckListBoxURL, &TCheckListBox::userClick, this, &PageListEditor::CheckListBoxURLClick);
    for (QCheckBox* box : {c_.CheckBoxCheckSize, c_.CheckBoxCheckDate, c_.CheckBoxCheckSignature})
        connect(box, &QCheckBox::toggled, this, &PageListEditor::enableApply);
    // Enter adds the address, even while "+" is disabled; on a page of the list it opens its options.
    c_.EditURL->installEventFilter(this);
    c_.CheckListBoxURL->installEventFilter(this);
}

bool PageListEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == c_.EditURL) {
                ButtonAddClick();
                return true;
            }
            if (watched == c_.CheckListBoxURL && selectedPage() >= 0) {
                ButtonPageOptionsClick();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

int PageListEditor::selectedPage() const {
    const int i = c_.CheckListBoxURL->selectedIndex();
    return i >= 0 && i < pages_.pageCount() ? i : -1;
}

void PageListEditor::enablePageOptions() const {
    c_.ButtonPageOptions->setEnabled(selectedPage() >= 0);
}

void PageListEditor::ButtonPageOptionsClick() {
    const int page = selectedPage();
    if (page < 0)
        return;
    PageOptions options = pages_.options(page);
    // The user named in the address is the login's until the options name another.
    if (options.user.isEmpty())
        options.user = splitLogin(pages_.url(page)).user;
    QStringList otherPages;
    for (int other = 0; other < pages_.pageCount(); ++other)
        if (other != page)
            otherPages.append(pages_.url(other));
    // The page may move while the dialog is open: its cursor knows where it went.
    auto* cursor = new PageCursor(pages_, page);
    auto* dialog = new PageOptionsDialog(
        pages_.url(page), options, otherPages,
        [this, cursor](const QString& dependsOn) {
            return cursor->deleted() ? QString() : dependencyProblem(pages_, cursor->position(), dependsOn);
        },
        c_.TabSheetWebPages->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    cursor->setParent(dialog);
    connect(dialog, &QDialog::accepted, this, [this, dialog, cursor] {
        if (!cursor->deleted())
            pages_.setOptions(cursor->position(), dialog->options());
    });
    dialog->open();
}

void PageListEditor::enableApply() const {
    c_.ButtonApplyChanges->setEnabled(true);
}

void PageListEditor::ButtonAddClick() {
    const AddressLogin login = splitLogin(storablePageAddress(c_.EditURL->text()));
    const QString& url = login.address;
    c_.ButtonApplyChanges->setEnabled(false);
    try {
        addPage(url, login);
    } catch (...) {
        c_.StatusBar1->setSimpleText(QStringLiteral("Error Adding ") + url + QStringLiteral(" to the List"));
    }
}

void PageListEditor::addPage(const QString& url, const AddressLogin& login) {
    if (pages_.indexOf(url) >= 0) {
        c_.StatusBar1->setSimpleText(url + QStringLiteral(" Already in the List"));
        return;
    }
    const int page = pages_.addPage(url, c_.CheckBoxCheckSize->isChecked(), c_.CheckBoxCheckDate->isChecked(),
                                    c_.CheckBoxCheckSignature->isChecked());
    pages_.takeLogin(page, login);
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
        const AddressLogin login = splitLogin(storablePageAddress(c_.EditURL->text()));
        pages_.setAddress(i, login.address);
        pages_.takeLogin(i, login);
        pages_.setChecked(PageRecords::Size, i, c_.CheckBoxCheckSize->isChecked());
        pages_.setChecked(PageRecords::Date, i, c_.CheckBoxCheckDate->isChecked());
        pages_.setChecked(PageRecords::Signature, i, c_.CheckBoxCheckSignature->isChecked());
    }
    c_.ButtonApplyChanges->setEnabled(false);
}

void PageListEditor::CheckListBoxURLClick() {
    const int i = c_.CheckListBoxURL->selectedIndex();
    if (i >= 0 && i < pages_.pageCount()) {
        c_.EditURL->setText(pages_.url(i));
        c_.CheckBoxCheckSize->setChecked(pages_.checked(PageRecords::Size, i));
        c_.CheckBoxCheckDate->setChecked(pages_.checked(PageRecords::Date, i));
        c_.CheckBoxCheckSignature->setChecked(pages_.checked(PageRecords::Signature, i));
    }
    c_.ButtonApplyChanges->setEnabled(false);
}

void PageListEditor::EditURLChange() {
    c_.ButtonApplyChanges->setEnabled(true);
    const bool listed = pages_.indexOf(splitLogin(storablePageAddress(c_.EditURL->text())).address) >= 0;
    c_.ButtonAdd->setEnabled(!listed);
    c_.ButtonDel->setEnabled(listed);
}

void PageListEditor::TabSheetWebPagesShow() {
    if (c_.CheckListBoxURL->selectedIndex() < 0 && c_.CheckListBoxURL->itemCount() > 0)
        c_.CheckListBoxURL->setCurrentRow(0);
    CheckListBoxURLClick();
}
