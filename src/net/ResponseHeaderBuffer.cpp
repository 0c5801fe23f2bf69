#include "net/ResponseHeaderBuffer.h"

#include "net/FetchResult.h"
#include "net/ResponseHeaderReader.h"

void ResponseHeaderBuffer::clear() {
    end_.reset();
    header_.clear();
    bodyStart_.clear();
}

void ResponseHeaderBuffer::feed(const QByteArray& bytes) {
    const qsizetype taken = end_.feed(bytes);
    if (end_.tooLarge()) {
        header_.clear();
        return;
    }
    header_.append(bytes.left(taken));
    if (taken < bytes.size())
        bodyStart_ += bytes.mid(taken);
}

void ResponseHeaderBuffer::takeInto(FetchResult& result) {
    if (!header_.hasLine())
        return;
    const QString status = QString::fromLatin1(header_.takeLine());
    result.replyNumber = ResponseHeaderReader::replyNumber(status);
    result.header = status;
    ResponseHeaderReader reader;
    while (header_.hasLine()) {
        const QString line = QString::fromLatin1(header_.takeLine());
        const bool end = reader.takeLine(line);
        result.header += line;
        if (end)
            break;
    }
    result.cookieIn = reader.CookieIn;
    result.location = reader.Location;
    result.bytesTotal = reader.BytesTotal;
    result.lengthDeclared = reader.HasLength;
    result.chunked = reader.Chunked;
}
