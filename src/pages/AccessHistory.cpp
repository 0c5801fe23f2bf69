#include "pages/AccessHistory.h"

#include <algorithm>

AccessHistory::Row AccessHistory::emptyRow() {
    Row row;
    row.fill(NoSample);
    return row;
}

AccessHistory::Row AccessHistory::row(int page) const {
    return page >= 0 && page < rows_.size() ? rows_[page] : emptyRow();
}

AccessHistory::Row& AccessHistory::grownTo(int page) {
    while (rows_.size() <= page)
        rows_.append(emptyRow());
    return rows_[page];
}

void AccessHistory::PushAccessTime(int page, int seconds) {
    if (page < 0)
        return;
    Row& row = grownTo(page);
    std::move_backward(row.begin(), row.end() - 1, row.end());
    row[0] = seconds;
}

void AccessHistory::clearRow(int page) {
    if (page >= 0)
        grownTo(page) = emptyRow();
}

void AccessHistory::removeRow(int page) {
    if (page >= 0 && page < rows_.size())
        rows_.removeAt(page);
}

void AccessHistory::reset(int pages) {
    rows_.fill(emptyRow(), pages);
}
