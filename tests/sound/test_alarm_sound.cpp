// Wave files and the player that opens them.
#include "sound/AlarmSoundPlay.h"
#include "sound/TMediaPlayer.h"
#include "sound/WaveFile.h"

#include <QFile>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray validWave() {
    return WaveFile::pcm16Mono(QList<qint16>(64, 1000), 8000);
}

// A wave file with an extra chunk of the given size in front of the format chunk.
QByteArray waveWithChunkFirst(quint32 chunkSize, const QByteArray& chunkBody) {
    QByteArray w = validWave();
    QByteArray chunk("LIST");
    char raw[4];
    qToLittleEndian(chunkSize, raw);
    chunk.append(raw, 4);
    chunk.append(chunkBody);
    w.insert(12, chunk);
    return w;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A player that, as it goes, lets the sound it opened finish loading: a sample still being read on
// Qt's loader thread when the test ends is left to the process's end and reported as a leak.
class SettledPlayer : public TMediaPlayer {
public:
    using TMediaPlayer::TMediaPlayer;
    ~SettledPlayer() override {
        if (const auto* effect = findChild<QSoundEffect*>())
            if (!QTest::qWaitFor([effect] { return effect->status() != QSoundEffect::Loading; }, 10000))
                qWarning("the sound was still loading after 10 s");
    }
};

} // namespace

class TestAlarmSound : public QObject {
    Q_OBJECT
private slots:
    void inspection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QByteArray compressed = validWave();
        compressed[20] = 0x55; // an MP3 stream inside a wave file
        QByteArray noFormat = validWave();
        noFormat.replace(12, 4, "junk");
        QTest::newRow("valid") << validWave() << "";
        QTest::newRow("odd chunk padded") << waveWithChunkFirst(3, QByteArray("abc\0", 4)) << "";
        QTest::newRow("empty") << QByteArray() << "it is not a wave file";
        QTest::newRow("text") << QByteArray("hello, this is text") << "it is not a wave file";
        QTest::newRow("truncated format") << validWave().left(30) << "its sound format is damaged";
        QTest::newRow("compressed") << compressed
                                    << "its sound data is compressed (format 85), which cannot be played";
        QTest::newRow("no format chunk") << noFormat << "it holds no sound format";
        QTest::newRow("chunk size beyond the file")
            << waveWithChunkFirst(0xFFFFFFFFu, "x") << "it holds no sound format";
    }
    void inspection() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        const WaveFile::Inspection result = WaveFile::inspect(bytes);
        QCOMPARE(result.problem, problem);
        QCOMPARE(result.format.has_value(), problem.isEmpty());
    }

    void defaultSoundsAreShippedAsPlayableWaves() {
        for (const char* name : {"td.wav", "problem.wav"}) {
            QFile file(QString(KORVANE_BUILD_DIR) + "/" + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            const WaveFile::Inspection wave = WaveFile::inspect(file.readAll());
            QVERIFY2(wave.format, qPrintable(wave.problem));
            QCOMPARE(wave.format->bitsPerSample, 16);
        }
    }

    void bareNameIsLookedForInTheSettingsFolderThenTheProgramFolder() {
        QTemporaryDir settings, program;
        writeFile(program.filePath("td.wav"), validWave());
        writeFile(program.filePath("problem.wav"), validWave());
        writeFile(settings.filePath("problem.wav"), validWave());
        SettledPlayer player({settings.path(), program.path()});
        AlarmSoundPlay(player, "td.wav");
        QCOMPARE(player.openedFile(), program.filePath("td.wav"));
        QCOMPARE(player.FileName, QString("td.wav"));
        // Opening the next sound lets go of the one before.
        AlarmSoundPlay(player, "problem.wav");
        QCOMPARE(player.openedFile(), settings.filePath("problem.wav"));
    }

    void fileThatCannotBeOpenedRaisesAClearError() {
        QTemporaryDir dir;
        SettledPlayer player({dir.path()});
        writeFile(dir.filePath("ok.wav"), validWave());
        AlarmSoundPlay(player, "ok.wav");
        try {
            AlarmSoundPlay(player, "missing.wav");
            QFAIL("a missing file was opened");
        } catch (const EMediaError& error) {
            QCOMPARE(QString(error.what()),
                     QString("Unable to play the sound file \"missing.wav\": the file was not found."));
        }
        // The failed open still let go of the previous sound.
        QCOMPARE(player.openedFile(), QString());
        QVERIFY(QDir().mkdir(dir.filePath("folder.wav")));
        QVERIFY_THROWS_EXCEPTION(EMediaError, AlarmSoundPlay(player, dir.filePath("folder.wav")));
        QVERIFY_THROWS_EXCEPTION(EMediaError, AlarmSoundPlay(player, ""));
    }
};

QTEST_MAIN(TestAlarmSound)
#include "test_alarm_sound.moc"
