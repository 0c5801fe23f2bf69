#pragma once

#include <QByteArray>

// Watches the bytes of a response as they arrive and tells when its header is complete: after
// the status line, a line that is empty or only a carriage return. These are the lines on
// which the header reader stops, so "complete" means that reading the header cannot wait any
// more, whatever keeps the reader from running just now.
class HeaderEndScanner {
public:
    void reset() { *this = HeaderEndScanner(); }
    // Takes bytes as they arrive; returns how many of them belong to the header (whatever follows
    // its last line is the body, or what comes through a tunnel).
    qsizetype feed(const QByteArray& bytes);
    bool complete() const { return complete_; }

private:
    bool complete_ = false;
    qint64 lines_ = 0;         // complete lines seen
    qsizetype lineLength_ = 0; // bytes of the current line so far, without its line feed
    bool lineStartsWithCr_ = false;
};
