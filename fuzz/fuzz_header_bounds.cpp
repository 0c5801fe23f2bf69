// Any bytes as a response, read within bounds that the input chooses: cut into arbitrary pieces
// or read whole, the header is found complete or too large exactly where a plain byte-by-byte
// count says; no more than the header's bound is ever held; and a complete header reads back as
// the very bytes it came as, with the rest kept as the body's start.
#include "net/FetchResult.h"
#include "net/ResponseHeaderBuffer.h"

#include <cstdint>
#include <cstdlib>

// The header's length when it is complete, -1 while it is not, -2 once it grew past a bound.
static qsizetype byteByByte(const QByteArray& input, HeaderLimits limits) {
    qsizetype line = 0, lines = 0;
    bool startsWithCr = false;
    for (qsizetype at = 0; at < input.size(); ++at) {
        if (at + 1 > limits.longestHeader)
            return -2;
        if (input[at] != '\n') {
            startsWithCr = line == 0 ? input[at] == '\r' : startsWithCr;
            if (++line > limits.longestLine)
                return -2;
        } else if (lines++ > 0 && (line == 0 || (line == 1 && startsWithCr))) {
            return at + 1;
        } else {
            line = 0;
        }
    }
    return -1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const qsizetype piece = 1 + data[0] % 37;
    const HeaderLimits limits{1 + data[1] % 64, 1 + data[2] * 4};
    const QByteArray input(reinterpret_cast<const char*>(data) + 3, qsizetype(size - 3));
    const qsizetype end = byteByByte(input, limits);
    ResponseHeaderBuffer whole(limits), pieces(limits);
    whole.feed(input);
    for (qsizetype at = 0; at < input.size(); at += piece) {
        pieces.feed(input.mid(at, piece));
        if (pieces.held() > limits.longestHeader || (pieces.tooLarge() && pieces.held() != 0))
            std::abort();
    }
    for (ResponseHeaderBuffer* buffer : {&whole, &pieces}) {
        FetchResult result;
        buffer->takeInto(result);
        const qsizetype found = buffer->tooLarge() ? -2 : buffer->complete() ? result.header.size() : -1;
        if (found != end || (end >= 0 && (result.header != QString::fromLatin1(input.left(end)) ||
                                          buffer->takeBodyStart() != input.mid(end))))
            std::abort();
    }
    return 0;
}
