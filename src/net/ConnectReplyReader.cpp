#include "net/ConnectReplyReader.h"

#include "net/ResponseHeaderReader.h"

qsizetype ConnectReplyReader::feed(const QByteArray& bytes) {
    qsizetype at = 0;
    while (!complete_ && at < bytes.size()) {
        const qsizetype lineFeed = bytes.indexOf('\n', at);
        const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed;
        if (!statusDone_) {
            status_ += bytes.mid(at, qMax<qsizetype>(0, qMin(end - at, LongestStatusLine - status_.size())));
        } else {
            if (lineLength_ == 0 && end > at)
                lineStartsWithCr_ = bytes[at] == '\r';
            lineLength_ += end - at;
        }
        if (lineFeed < 0)
            return bytes.size();
        // The same blank lines as end a page's header: nothing, or a lone carriage return.
        complete_ = statusDone_ && (lineLength_ == 0 || (lineLength_ == 1 && lineStartsWithCr_));
        statusDone_ = true;
        lineLength_ = 0;
        lineStartsWithCr_ = false;
        at = lineFeed + 1;
    }
    return at;
}

bool ConnectReplyReader::opened() const {
    const qint16 status = ResponseHeaderReader::replyNumber(statusLine());
    return complete_ && status >= 200 && status <= 299;
}

QString ConnectReplyReader::statusLine() const {
    QByteArray line = status_;
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLatin1(line);
}
