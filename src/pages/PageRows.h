#pragma once

#include <QList>

// Per-page values kept in memory beside the page list, aligned with it by position. A row that
// was never written reads as the empty value; the rows follow pages that are added and deleted.
template <class T> class PageRows {
public:
    explicit PageRows(T empty = T{}) : empty_(std::move(empty)) {}

    T row(int page) const { return page >= 0 && page < rows_.size() ? rows_[page] : empty_; }

    // The page's row, adding empty rows up to it where needed.
    T& grownTo(int page) {
        while (rows_.size() <= page)
            rows_.append(empty_);
        return rows_[page];
    }

    void clearRow(int page) {
        if (page >= 0)
            grownTo(page) = empty_;
    }

    void removeRow(int page) {
        if (page >= 0 && page < rows_.size())
            rows_.removeAt(page);
    }

    void reset(int pages) { rows_.fill(empty_, pages); }

private:
    QList<T> rows_;
    T empty_;
};
