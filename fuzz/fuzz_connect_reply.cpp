// Any bytes as a proxy's answer to CONNECT: read whole or cut into arbitrary pieces, the reader
// comes to the same end, takes the same bytes as the answer, and keeps no more of the status
// line than it promises; an answer past its bounds is too large either way, and opens nothing.
#include "net/ConnectReplyReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 23;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    ConnectReplyReader whole, pieces;
    const qsizetype wholeTaken = whole.feed(input);
    qsizetype piecesTaken = 0;
    for (qsizetype at = 0; at < input.size(); at += piece) {
        const qsizetype taken = pieces.feed(input.mid(at, piece));
        if (taken < 0 || taken > piece ||
            (taken < qMin(piece, input.size() - at) && !pieces.complete() && !pieces.tooLarge()))
            std::abort();
        piecesTaken += taken;
    }
    if (whole.tooLarge() != pieces.tooLarge() || (whole.tooLarge() && whole.opened()))
        std::abort();
    if (whole.tooLarge())
        return 0;
    if (wholeTaken != piecesTaken || whole.complete() != pieces.complete() ||
        whole.opened() != pieces.opened() || whole.statusLine() != pieces.statusLine())
        std::abort();
    if ((whole.opened() && !whole.complete()) ||
        whole.statusLine().size() > ConnectReplyReader::LongestStatusLine)
        std::abort();
    return 0;
}
