#include "net/TNMUUProcessor.h"

#include "net/FireEvent.h"

#include <QIODevice>
#include <stdexcept>

namespace {
constexpr qint64 GroupSize = 45;
const char Base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char UuAlphabet[] = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
} // namespace

TNMUUProcessor::TNMUUProcessor(QObject* parent) : QObject(parent) {}

void TNMUUProcessor::Encode() {
    if (!InputStream || !OutputStream)
        throw std::logic_error("The encoder has no input or no output");
    InputStream->seek(0);
    fire(OnBeginEncode, this);
    try {
        encodeLines();
    } catch (...) {
        OutputStream->seek(0);
        fire(OnEndEncode, this);
        throw;
    }
    OutputStream->seek(0);
    fire(OnEndEncode, this);
}

void TNMUUProcessor::encodeLines() {
    const bool mime = Method == UUMethods::uuMime;
    const char* alphabet = mime ? Base64Alphabet : UuAlphabet;
    auto put = [this](const QByteArray& line) {
        if (OutputStream->write(line) != line.size())
            throw std::runtime_error(OutputStream->errorString().toStdString());
    };
    while (!InputStream->atEnd()) {
        const QByteArray group = InputStream->read(GroupSize);
        if (group.isEmpty())
            throw std::runtime_error(InputStream->errorString().toStdString());
        const auto byte = [&group](qsizetype i) { return quint8(group[i]); };
        const qsizetype n = group.size();
        QByteArray line;
        if (!mime)
            line += alphabet[n];
        qsizetype i = 0;
        for (; i + 3 <= n; i += 3) {
            line += alphabet[byte(i) >> 2];
            line += alphabet[((byte(i) & 3) << 4) | (byte(i + 1) >> 4)];
            line += alphabet[((byte(i + 1) & 15) << 2) | (byte(i + 2) >> 6)];
            line += alphabet[byte(i + 2) & 63];
        }
        if (n - i == 1) {
            line += alphabet[byte(i) >> 2];
            line += alphabet[(byte(i) & 3) << 4];
            if (mime)
                line += "==";
        } else if (n - i == 2) {
            line += alphabet[byte(i) >> 2];
            line += alphabet[((byte(i) & 3) << 4) | (byte(i + 1) >> 4)];
            line += alphabet[(byte(i + 1) & 15) << 2];
            if (mime)
                line += '=';
        }
        put(line + "\r\n");
    }
    if (!mime)
        put("`\r\n");
}
