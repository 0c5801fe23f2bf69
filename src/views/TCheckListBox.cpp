#include "views/TCheckListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

TCheckListBox::TCheckListBox(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void TCheckListBox::showList(QAbstractItemModel* model, int column) {
    // As with a list box, deleting the selected item leaves nothing selected. Handing the
    // selection on to a neighbour would let the next "-" or "Apply" hit a page nobody chose. The
    // view moves the selection on as rows go, so the selection is looked at before it hears of
    // them, and cleared after it has.
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                clearSelectionAfterRemoval_ = selectedIndex() >= first && selectedIndex() <= last;
            });
    setModel(model);
    setModelColumn(column);
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (std::exchange(clearSelectionAfterRemoval_, false))
            setCurrentIndex({});
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { emit currentRowChanged(current.row()); });
}

QModelIndex TCheckListBox::item(int index) const {
    return model() ? model()->index(index, modelColumn()) : QModelIndex();
}

int TCheckListBox::itemCount() const {
    return model() ? model()->rowCount() : 0;
}

QString TCheckListBox::itemText(int index) const {
    return item(index).data().toString();
}

bool TCheckListBox::isChecked(int index) const {
    return item(index).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
}

void TCheckListBox::setChecked(int index, bool checked) {
    if (const QModelIndex it = item(index); it.isValid())
        model()->setData(it, checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

int TCheckListBox::indexOfText(const QString& text) const {
    if (itemCount() == 0)
        return -1;
    const QModelIndexList found =
        model()->match(item(0), Qt::DisplayRole, text, 1, Qt::MatchFixedString | Qt::MatchWrap);
    return found.isEmpty() ? -1 : found.first().row();
}

QStringList TCheckListBox::texts() const {
    QStringList out;
    out.reserve(itemCount());
    for (int i = 0; i < itemCount(); ++i)
        out.append(itemText(i));
    return out;
}

void TCheckListBox::setCurrentRow(int row) {
    setCurrentIndex(item(row));
}

void TCheckListBox::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit userClick();
}

void TCheckListBox::keyPressEvent(QKeyEvent* event) {
    const int before = selectedIndex();
    QListView::keyPressEvent(event);
    if (selectedIndex() != before)
        emit userClick();
}
