#pragma once

#include <QByteArray>

// Bytes received or queued but not yet consumed. Consumed bytes are skipped by an offset and
// only compacted now and then, so reading a long header line by line stays linear.
class ByteQueue {
public:
    // Growing a queue can fail as any allocation can: std::bad_alloc. Its owner catches it.
    void append(const QByteArray& bytes);
    bool isEmpty() const { return size() == 0; }
    qsizetype size() const { return data_.size() - head_; }
    void clear();

    // The data is searched as bytes: a zero byte is data like any other.
    bool hasLine() const { return lineEnd() >= 0; }
    // Everything through the first line feed; empty when there is no complete line.
    QByteArray takeLine();
    QByteArray takeAll();
    QByteArray peek(qsizetype max) const { return data_.mid(head_, max); }
    void drop(qsizetype count);

    // For tests of a full memory: from now on, a queue that would grow past bytes fails as an
    // allocation does. A negative number lifts the limit.
    static void failGrowthPast(qsizetype bytes);

private:
    qsizetype lineEnd() const;

    QByteArray data_;
    qsizetype head_ = 0;
    // Where the line feed search goes on, so a line arriving in pieces is scanned once.
    mutable qsizetype scanned_ = 0;
};
