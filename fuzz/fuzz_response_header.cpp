// Any bytes as a response: cut into arbitrary pieces, queued and read back line by line, they
// come back unchanged, the header reader keeps its numbers in range, and the scanner that
// watches arriving bytes sees the header's end exactly when the reader does.
#include "net/ByteQueue.h"
#include "net/HeaderEndScanner.h"
#include "net/ResponseHeaderReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 37;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    ByteQueue queue;
    QByteArray back;
    ResponseHeaderReader reader;
    // Bounds beyond the input: the scanner and the reader meet on every header.
    HeaderEndScanner scanner({input.size() + 1, input.size() + 1});
    bool first = true;
    bool ended = false;
    for (qsizetype at = 0; at < input.size(); at += piece) {
        queue.append(input.mid(at, piece));
        scanner.feed(input.mid(at, piece));
        while (queue.hasLine()) {
            const QByteArray line = queue.takeLine();
            if (!line.endsWith('\n'))
                std::abort();
            back += line;
            const QString text = QString::fromLatin1(line);
            if (first)
                ResponseHeaderReader::replyNumber(text);
            else if (reader.takeLine(text))
                ended = true;
            first = false;
            if (reader.BytesTotal < 0)
                std::abort();
        }
        if (scanner.complete() != ended)
            std::abort();
    }
    back += queue.takeAll();
    if (back != input)
        std::abort();
    return 0;
}
