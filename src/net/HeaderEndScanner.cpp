#include "net/HeaderEndScanner.h"

qsizetype HeaderEndScanner::feed(const QByteArray& bytes) {
    qsizetype at = 0;
    while (!complete_ && !tooLarge_ && at < bytes.size()) {
        const qsizetype lineFeed = bytes.indexOf('\n', at);
        const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed;
        if (lineLength_ == 0 && end > at)
            lineStartsWithCr_ = bytes[at] == '\r';
        lineLength_ += end - at;
        const qsizetype next = lineFeed < 0 ? bytes.size() : lineFeed + 1;
        headerLength_ += next - at;
        if (lineLength_ > limits_.longestLine || headerLength_ > limits_.longestHeader) {
            tooLarge_ = true;
            return at;
        }
        if (lineFeed < 0)
            return bytes.size();
        const bool blank = lineLength_ == 0 || (lineLength_ == 1 && lineStartsWithCr_);
        // The first line is the status line, whatever it holds.
        complete_ = lines_ > 0 && blank;
        ++lines_;
        lineLength_ = 0;
        at = next;
    }
    return at;
}
