#include "pages/PageCursor.h"

#include "pages/PageRecords.h"

PageCursor::PageCursor(const PageRecords& pages, int page) : position_(page) {
    const QAbstractItemModel* model = &pages;
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { removed(first, last); });
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { inserted(first, last); });
    // A list loaded afresh holds other pages: nothing of the followed one is left.
    connect(model, &QAbstractItemModel::modelReset, this, [this, model] {
        deleted_ = true;
        position_ = model->rowCount();
    });
}

void PageCursor::removed(int first, int last) {
    if (last < position_) {
        position_ -= last - first + 1;
    } else if (first <= position_) {
        deleted_ = true;
        position_ = first;
    }
}

void PageCursor::inserted(int first, int last) {
    // Once the page is gone the position is the gap it left: a page inserted right there comes
    // after the deleted one, so it is still ahead.
    if (first < position_ || (first == position_ && !deleted_))
        position_ += last - first + 1;
}
