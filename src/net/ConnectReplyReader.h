#pragma once

#include "net/HeaderEndScanner.h"

#include <QByteArray>
#include <QString>

// An HTTP proxy's answer to CONNECT, read as it arrives: a status line, then header lines up to
// the blank line. Only the status line is kept (and only its start), and an answer that goes on
// past the bounds below is taken for no answer at all.
class ConnectReplyReader {
public:
    // Far more than any proxy says before its tunnel opens.
    static constexpr HeaderLimits Limits{16 * 1024, 64 * 1024};

    // Takes bytes as they arrive; returns how many of them belong to the answer. Whatever follows
    // the blank line already comes from the far end of the tunnel.
    qsizetype feed(const QByteArray& bytes);
    bool complete() const { return end_.complete(); }
    // A line, or the whole answer, went past its bound before the answer ended.
    bool tooLarge() const { return end_.tooLarge(); }
    // The answer is complete and its status is 2xx: the tunnel is open.
    bool opened() const;
    // The status line without its line end, for the error that names it.
    QString statusLine() const;

    static constexpr qsizetype LongestStatusLine = 256;

private:
    // It ends on the same blank lines as a page's header.
    HeaderEndScanner end_{Limits};
    QByteArray status_;
    bool statusDone_ = false;
};
