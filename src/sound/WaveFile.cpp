#include "sound/WaveFile.h"

#include <QtEndian>

namespace WaveFile {

namespace {

constexpr int PcmFormat = 1;
constexpr int FloatFormat = 3;
constexpr int ExtensibleFormat = 0xFFFE;

quint32 le32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

void put32(QByteArray& b, quint32 v) {
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

void put16(QByteArray& b, quint16 v) {
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

QString checkFormat(const Format& f) {
    if (f.audioFormat != PcmFormat && f.audioFormat != FloatFormat && f.audioFormat != ExtensibleFormat)
        return QStringLiteral("its sound data is compressed (format %1), which cannot be played")
            .arg(f.audioFormat);
    if (f.channels < 1 || f.channels > 8 || f.sampleRate <= 0 ||
        (f.bitsPerSample != 8 && f.bitsPerSample != 16 && f.bitsPerSample != 24 && f.bitsPerSample != 32))
        return QStringLiteral("its sound format is damaged");
    return {};
}

} // namespace

Inspection inspect(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return {std::nullopt, QStringLiteral("it is not a wave file")};
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > bytes.size())
                return {std::nullopt, QStringLiteral("its sound format is damaged")};
            Format f;
            f.audioFormat = le16(bytes, body);
            f.channels = le16(bytes, body + 2);
            f.sampleRate = int(qMin<quint32>(le32(bytes, body + 4), 0x7fffffff));
            f.bitsPerSample = le16(bytes, body + 14);
            const QString problem = checkFormat(f);
            if (!problem.isEmpty())
                return {std::nullopt, problem};
            return {f, {}};
        }
        // Chunks are padded to an even length.
        const quint64 next = quint64(body) + size + (size & 1u);
        if (next > quint64(bytes.size()))
            break;
        at = qsizetype(next);
    }
    return {std::nullopt, QStringLiteral("it holds no sound format")};
}

QByteArray pcm16Mono(const QList<qint16>& samples, int sampleRate) {
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray b;
    b.reserve(44 + dataBytes);
    b.append("RIFF");
    put32(b, 36 + dataBytes);
    b.append("WAVE");
    b.append("fmt ");
    put32(b, 16);
    put16(b, PcmFormat);
    put16(b, 1);
    put32(b, quint32(sampleRate));
    put32(b, quint32(sampleRate) * 2);
    put16(b, 2);
    put16(b, 16);
    b.append("data");
    put32(b, dataBytes);
    for (qint16 s : samples)
        put16(b, quint16(s));
    return b;
}

} // namespace WaveFile
