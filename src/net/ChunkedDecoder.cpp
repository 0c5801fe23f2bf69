#include "net/ChunkedDecoder.h"

namespace {

// A chunk beyond this is no real one, and its size would not fit our count.
constexpr qint64 LargestChunk = qint64(1) << 56;

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The size a chunk's line gives, before any ";extension"; -1 when it gives none.
qint64 chunkSize(QByteArrayView line) {
    if (const qsizetype extension = line.indexOf(';'); extension >= 0)
        line = line.first(extension);
    line = line.trimmed();
    qint64 size = 0;
    for (const char c : line) {
        const int digit = hexDigit(c);
        if (digit < 0 || size > LargestChunk)
            return -1;
        size = size * 16 + digit;
    }
    return line.isEmpty() ? -1 : size;
}

} // namespace

bool ChunkedDecoder::gatherLine(QByteArrayView bytes, qsizetype& at) {
    const qsizetype end = bytes.indexOf('\n', at);
    const qsizetype stop = end < 0 ? bytes.size() : end;
    if (line_.size() + (stop - at) > LongestLine) {
        state_ = State::Malformed;
        line_.clear();
        return false;
    }
    line_ += bytes.sliced(at, stop - at);
    at = end < 0 ? bytes.size() : end + 1;
    return end >= 0;
}

void ChunkedDecoder::takeLine() {
    QByteArrayView line = line_;
    if (line.endsWith('\r'))
        line.chop(1);
    if (state_ == State::DataEnd) {
        state_ = line.isEmpty() ? State::Size : State::Malformed;
    } else {
        // Trailer fields after the last chunk tell a content check nothing: the body ends there.
        left_ = chunkSize(line);
        state_ = left_ < 0 ? State::Malformed : left_ == 0 ? State::Finished : State::Data;
    }
    line_.clear();
}

QByteArray ChunkedDecoder::feed(QByteArrayView bytes) {
    QByteArray data;
    qsizetype at = 0;
    while (at < bytes.size() && !finished() && !malformed()) {
        if (state_ == State::Data) {
            const qsizetype taken = qsizetype(qMin<qint64>(left_, bytes.size() - at));
            data += bytes.sliced(at, taken);
            at += taken;
            left_ -= taken;
            if (left_ == 0)
                state_ = State::DataEnd;
            continue;
        }
        if (gatherLine(bytes, at))
            takeLine();
    }
    return data;
}
