#include "net/ConnectReplyReader.h"

#include "net/ResponseHeaderReader.h"

qsizetype ConnectReplyReader::feed(const QByteArray& bytes) {
    const qsizetype taken = end_.feed(bytes);
    if (!statusDone_) {
        const qsizetype lineFeed = bytes.left(taken).indexOf('\n');
        const qsizetype end = lineFeed < 0 ? taken : lineFeed;
        status_ += bytes.left(qMin(end, LongestStatusLine - status_.size()));
        statusDone_ = lineFeed >= 0;
    }
    return taken;
}

bool ConnectReplyReader::opened() const {
    const qint16 status = ResponseHeaderReader::replyNumber(statusLine());
    return complete() && status >= 200 && status <= 299;
}

QString ConnectReplyReader::statusLine() const {
    QByteArray line = status_;
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLatin1(line);
}
