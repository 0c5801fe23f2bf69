#include "pages/PageRecords.h"

#include "net/AddressLogin.h"

#include "views/TCheckListBox.h"

#include <QListWidget>

namespace {

const QString NoValue = QStringLiteral("-");

void setStatusRow(QListWidget* list, int page, const QString& text) {
    while (list->count() <= page)
        list->addItem(QStringLiteral("0"));
    list->item(page)->setText(text);
}

} // namespace

PageRecords::PageRecords(const Controls& controls) : c_(controls) {}

int PageRecords::pageCount() const {
    return c_.CheckListBoxURL->itemCount();
}

QString PageRecords::url(int page) const {
    return c_.CheckListBoxURL->itemText(page);
}

bool PageRecords::isIncluded(int page) const {
    return c_.CheckListBoxURL->isChecked(page);
}

PageStatus PageRecords::readStatus(int page) const {
    const QListWidgetItem* item = c_.ListBoxStatus->item(page);
    bool ok = false;
    const int code = item ? item->text().toInt(&ok) : 0;
    if (!ok || code < int(PageStatus::Failed) || code > int(PageStatus::RedAlarm))
        return PageStatus::Failed;
    return PageStatus(code);
}

void PageRecords::writeStatus(int page, PageStatus status) {
    if (page >= 0)
        setStatusRow(c_.ListBoxStatus, page, QString::number(int(status)));
}

QString PageRecords::readValue(const TCheckListBox* list, int page) {
    return list->itemText(page);
}

bool PageRecords::readCheck(const TCheckListBox* list, int page) {
    return list->isChecked(page);
}

void PageRecords::writeValue(TCheckListBox* list, int page, const QString& text) {
    list->setItemText(page, text);
}

int PageRecords::addPage(const QString& url, bool checkSize, bool checkDate, bool checkSignature) {
    c_.CheckListBoxURL->appendItem(url, true);
    const int c = c_.CheckListBoxURL->itemCount() - 1;
    c_.ListBoxStatus->addItem(QStringLiteral("0"));
    // Rows past the last page may be left over from the design or a longer list, so the new
    // page's row is set explicitly after appending.
    const std::pair<TCheckListBox*, bool> lists[] = {
        {c_.SizeList, checkSize}, {c_.LastDateList, checkDate}, {c_.SignatureList, checkSignature}};
    for (const auto& [list, check] : lists) {
        list->appendItem(NoValue);
        list->setItemText(c, NoValue);
        list->setChecked(c, check);
    }
    setStatusRow(c_.ListBoxStatus, c, QStringLiteral("0"));
    history_.clearRow(c);
    streaks_.clearRow(c);
    options_.clearRow(c);
    return c;
}

void PageRecords::takeLogin(int page, const AddressLogin& login) {
    if (login.password.isEmpty())
        return;
    PageOptions& options = options_.grownTo(page);
    options.user = login.user;
    options.password = login.password;
}

void PageRecords::deletePage(int page) {
    if (page < 0 || page >= pageCount())
        return;
    c_.CheckListBoxURL->removeItemAt(page);
    delete c_.ListBoxStatus->takeItem(page);
    c_.SizeList->removeItemAt(page);
    c_.LastDateList->removeItemAt(page);
    c_.SignatureList->removeItemAt(page);
    history_.removeRow(page);
    streaks_.removeRow(page);
    options_.removeRow(page);
}

void PageRecords::alignAfterRestore() {
    const int pages = pageCount();
    while (c_.ListBoxStatus->count() < pages)
        c_.ListBoxStatus->addItem(QStringLiteral("0"));
    for (TCheckListBox* list : {c_.SizeList, c_.LastDateList, c_.SignatureList}) {
        while (list->itemCount() < pages)
            list->appendItem(NoValue);
    }
}

void PageRecords::resetHistories() {
    history_.reset(pageCount());
    streaks_.reset(pageCount());
}
