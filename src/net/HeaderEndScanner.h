#pragma once

#include <QByteArray>

// How far a header may grow before its sender counts as flooding us.
struct HeaderLimits {
    qsizetype longestLine;   // bytes of one line, without its line feed
    qsizetype longestHeader; // bytes of the whole header, line ends included
};

// Watches the bytes of a response as they arrive and tells when its header is complete: after
// the status line, a line that is empty or only a carriage return. These are the lines on
// which the header reader stops, so "complete" means that reading the header cannot wait any
// more, whatever keeps the reader from running just now. A line or a header past its limit ends
// the watch instead: a peer that never ends its header cannot make us hold it.
class HeaderEndScanner {
public:
    explicit HeaderEndScanner(HeaderLimits limits) : limits_(limits) {}
    void reset() { *this = HeaderEndScanner(limits_); }
    // Takes bytes as they arrive; returns how many of them belong to the header (whatever follows
    // its last line is the body, or what comes through a tunnel). Once the header is too large,
    // nothing more is taken.
    qsizetype feed(const QByteArray& bytes);
    bool complete() const { return complete_; }
    bool tooLarge() const { return tooLarge_; }

private:
    HeaderLimits limits_;
    bool complete_ = false;
    bool tooLarge_ = false;
    qint64 lines_ = 0;           // complete lines seen
    qsizetype lineLength_ = 0;   // bytes of the current line so far, without its line feed
    qsizetype headerLength_ = 0; // bytes taken so far
    bool lineStartsWithCr_ = false;
};
