#pragma once

#include <QList>
#include <array>

// The last access times of every page, in whole seconds, newest first; NoSample marks a
// position that holds no sample yet. Rows are aligned with the page list by position.
class AccessHistory {
public:
    static constexpr int Samples = 35;
    static constexpr int NoSample = -1;
    using Row = std::array<int, Samples>;

    // A row that was never written reads as all NoSample.
    Row row(int page) const;
    int sample(int page, int position) const { return row(page)[position]; }

    void PushAccessTime(int page, int seconds);
    // Makes the page's row hold no samples, adding rows up to it where needed.
    void clearRow(int page);
    void removeRow(int page);
    void reset(int pages);

private:
    static Row emptyRow();
    Row& grownTo(int page);
    QList<Row> rows_;
};
