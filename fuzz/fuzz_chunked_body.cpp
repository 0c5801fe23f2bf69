// Any bytes as a chunked body: read whole or cut into arbitrary pieces, the decoder gives the same
// data and comes to the same end; it never holds more than one line's bound, never gives more
// data than came, and a body it calls finished is one it can rebuild chunk by chunk.
#include "net/ChunkedDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 29;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    ChunkedDecoder whole, pieces;
    const QByteArray wholeData = whole.feed(input);
    QByteArray piecesData;
    for (qsizetype at = 0; at < input.size(); at += piece) {
        piecesData += pieces.feed(QByteArrayView(input).sliced(at, qMin(piece, input.size() - at)));
        if (pieces.held() > ChunkedDecoder::LongestLine)
            std::abort();
    }
    if (wholeData != piecesData || whole.finished() != pieces.finished() ||
        whole.malformed() != pieces.malformed() || wholeData.size() > input.size())
        std::abort();
    // The same data sent again in one chunk decodes to itself.
    if (whole.finished() && !wholeData.isEmpty()) {
        ChunkedDecoder again;
        const QByteArray resent =
            QByteArray::number(wholeData.size(), 16) + "\r\n" + wholeData + "\r\n0\r\n\r\n";
        if (again.feed(resent) != wholeData || !again.finished())
            std::abort();
    }
    return 0;
}
