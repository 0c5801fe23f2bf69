#include "pages/AccessHistory.h"

#include <algorithm>

AccessHistory::Row AccessHistory::empty() {
    Row row;
    row.fill(NoSample);
    return row;
}

void AccessHistory::push(Row& row, int seconds) {
    std::move_backward(row.begin(), row.end() - 1, row.end());
    row[0] = seconds;
}
