#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Reading and writing the RIFF wave files the alarm sounds are kept in. Parsing works on bytes
// only, so it can be tested and fuzzed without a sound device.
namespace WaveFile {

struct Format {
    int audioFormat = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
};

// The sound format of a wave file, or the reason the bytes are not a playable wave file.
struct Inspection {
    std::optional<Format> format;
    QString problem;
};
Inspection inspect(const QByteArray& bytes);

// 16-bit mono PCM samples as a complete wave file.
QByteArray pcm16Mono(const QList<qint16>& samples, int sampleRate);

} // namespace WaveFile
