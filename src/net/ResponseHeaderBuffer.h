#pragma once

#include "net/ByteQueue.h"
#include "net/HeaderEndScanner.h"

#include <QByteArray>
#include <utility>

struct FetchResult;

// A response's header gathered as its bytes arrive, within bounds: whatever a server sends, no
// more than the limits is ever held. What follows the header's end is kept apart as the body's
// start.
class ResponseHeaderBuffer {
public:
    // A line of at most 64 KiB and a header of at most 256 KiB: far beyond any real site, and
    // about what curl allows itself.
    static constexpr HeaderLimits Limits{64 * 1024, 256 * 1024};

    explicit ResponseHeaderBuffer(HeaderLimits limits = Limits) : end_(limits) {}

    void clear();
    // Takes bytes as they arrive. Once the header is too large, everything is dropped.
    void feed(const QByteArray& bytes);
    bool complete() const { return end_.complete(); }
    bool tooLarge() const { return end_.tooLarge(); }
    // A whole line of the reply is in hand: it got as far as its status line.
    bool hasLine() const { return header_.hasLine(); }
    // How many of the header's bytes are held.
    qsizetype held() const { return header_.size(); }
    // Reads the status line and the whole lines after it (all of the header once it is complete)
    // into the answer's fields of result. The lines are used up.
    void takeInto(FetchResult& result);
    QByteArray takeBodyStart() { return std::exchange(bodyStart_, {}); }

private:
    HeaderEndScanner end_;
    ByteQueue header_;
    QByteArray bodyStart_;
};
