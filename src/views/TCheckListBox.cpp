#include "views/TCheckListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

TCheckListBox::TCheckListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

QString TCheckListBox::itemText(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void TCheckListBox::setItemText(int index, const QString& text) {
    if (QListWidgetItem* it = item(index))
        it->setText(text);
}

bool TCheckListBox::isChecked(int index) const {
    const QListWidgetItem* it = item(index);
    return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::setChecked(int index, bool checked) {
    if (QListWidgetItem* it = item(index))
        it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TCheckListBox::appendItem(const QString& text, bool checked) {
    auto* it = new QListWidgetItem(text);
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    addItem(it);
}

void TCheckListBox::removeItemAt(int index) {
    const bool wasCurrent = index == currentRow();
    delete takeItem(index);
    // As with a list box, deleting the selected item leaves nothing selected. Handing the
    // selection on to a neighbour would let the next "-" or "Apply" hit a page nobody chose.
    if (wasCurrent)
        setCurrentRow(-1);
}

int TCheckListBox::indexOfText(const QString& text) const {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList TCheckListBox::texts() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out.append(item(i)->text());
    return out;
}

void TCheckListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (itemAt(event->position().toPoint()))
        emit userClick();
}

void TCheckListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before)
        emit userClick();
}
