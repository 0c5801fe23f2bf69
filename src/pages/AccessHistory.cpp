#include "pages/AccessHistory.h"

#include <algorithm>

namespace {

AccessHistory::Row noSamples() {
    AccessHistory::Row row;
    row.fill(AccessHistory::NoSample);
    return row;
}

} // namespace

AccessHistory::AccessHistory() : PageRows(noSamples()) {}

void AccessHistory::PushAccessTime(int page, int seconds) {
    if (page < 0)
        return;
    Row& row = grownTo(page);
    std::move_backward(row.begin(), row.end() - 1, row.end());
    row[0] = seconds;
}
