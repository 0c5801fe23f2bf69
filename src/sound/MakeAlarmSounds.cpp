// Build step: writes the two default alarm sounds into the given folder.
#include "sound/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QtMath>
#include <cstdio>

namespace {

constexpr int SampleRate = 22050;

// A sine tone with a short fade in and out, so the sound starts and stops without a click.
void appendTone(QList<qint16>& out, double hz, double seconds, double volume) {
    const int n = int(seconds * SampleRate);
    const int fade = SampleRate / 100;
    for (int i = 0; i < n; ++i) {
        const double envelope = qMin(1.0, qMin(double(i), double(n - 1 - i)) / fade);
        out.append(qint16(32767 * volume * envelope * qSin(2 * M_PI * hz * i / SampleRate)));
    }
}

void appendSilence(QList<qint16>& out, double seconds) {
    out.append(QList<qint16>(int(seconds * SampleRate), 0));
}

bool write(const QString& path, const QList<qint16>& samples) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(WaveFile::pcm16Mono(samples, SampleRate)) > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    // Yellow: a friendly falling two-note chime.
    QList<qint16> yellow;
    appendTone(yellow, 880, 0.18, 0.5);
    appendTone(yellow, 660, 0.30, 0.5);

    // Red: three urgent high-low pairs.
    QList<qint16> red;
    for (int i = 0; i < 3; ++i) {
        appendTone(red, 1200, 0.15, 0.6);
        appendTone(red, 800, 0.15, 0.6);
        appendSilence(red, 0.08);
    }

    if (!write(folder.filePath(QStringLiteral("td.wav")), yellow) ||
        !write(folder.filePath(QStringLiteral("problem.wav")), red)) {
        std::fprintf(stderr, "cannot write the alarm sounds into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
