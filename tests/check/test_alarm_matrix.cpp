// The alarm matrix: its boxes, the play-wav rule and choosing the sound files.
#include "sound/TMediaPlayer.h"
#include "sound/WaveFile.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The design ticks of the matrix, row by row in the columns L, Y, R, PW, M1, M2, M3.
const struct {
    const char* code;
    const char* ticks;
} DesignTicks[] = {
    {"S", "1100000"},   {"TO", "1010000"},  {"PNF", "1011000"}, {"HNF", "1011000"}, {"SC", "1101000"},
    {"SiC", "1101000"}, {"DaC", "1101000"}, {"CF", "1011000"},  {"CE", "1100000"},
};
const char* const Columns[] = {"L", "Y", "R", "PW", "M1", "M2", "M3"};

QString writeWave(const QString& folder, const QString& name) {
    const QString path = folder + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WaveFile::pcm16Mono(QList<qint16>(100, 0), 8000)) <= 0)
        qFatal("cannot write a test sound");
    return path;
}

} // namespace

class TestAlarmMatrix : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void everyBoxHasItsNameAndDesignTick() {
        WindowFixture fixture;
        fixture.start();
        QCheckBox* noError = fixture.find<QCheckBox>("CheckBoxNEL");
        QVERIFY(noError && !noError->isChecked());
        // "Recovered" has the log and mail boxes only, like "No Error".
        for (const char* name : {"CheckBoxRCL", "CheckBoxRCM1", "CheckBoxRCM2", "CheckBoxRCM3"})
            QVERIFY2(fixture.find<QCheckBox>(name), name);
        QVERIFY(fixture.find<QCheckBox>("CheckBoxRCL")->isChecked() &&
                !fixture.find<QCheckBox>("CheckBoxRCY"));
        for (const auto& row : DesignTicks) {
            for (int c = 0; c < 7; ++c) {
                const QByteArray name = QByteArray("CheckBox") + row.code + Columns[c];
                QCheckBox* box = fixture.find<QCheckBox>(name.constData());
                QVERIFY2(box, name.constData());
                QCOMPARE(box->isChecked(), row.ticks[c] == '1');
                // Every row raises a colour at first, so every play-wav box starts enabled.
                QVERIFY(box->isEnabled());
            }
        }
    }

    void playWavFollowsTheColoursOfItsRowWithoutLosingItsTick() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        for (int condition = int(AlarmCondition::SlowAccess); condition < AlarmConditionCount; ++condition) {
            const AlarmRow& row = w.alarms.rows[condition];
            if (!row.PlayWav)
                continue;
            row.PlayWav->setChecked(true);
            row.Yellow->setChecked(false);
            row.Red->setChecked(false);
            QVERIFY2(!row.PlayWav->isEnabled(), qPrintable(row.PlayWav->objectName()));
            QVERIFY(row.PlayWav->isChecked());
            row.Red->click();
            QVERIFY(row.PlayWav->isEnabled());
            row.Red->setChecked(false);
            row.Yellow->click();
            QVERIFY(row.PlayWav->isEnabled());
            QVERIFY(row.PlayWav->isChecked());
        }
    }

    void browsingSetsTheFieldAndPlaysTheChoice() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        const QString chosen = writeWave(fixture.folder(), "siren.wav");
        testDialogs().openFileAnswers.enqueue(chosen);
        QTest::mouseClick(w.alarms.Button1, Qt::LeftButton);
        QCOMPARE(testDialogs().openFileRequests,
                 QList<QStringList>{QStringList({"*.wav", "*.wav", "*.wav"})});
        QCOMPARE(w.alarms.EditRWavFileName->text(), chosen);
        QCOMPARE(w.MediaPlayer1->openedFile(), chosen);
        QVERIFY(testDialogs().errors.isEmpty());
    }

    void cancellingTheDialogChangesNothing() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        QTest::mouseClick(w.alarms.ButtonBrowseYwav, Qt::LeftButton);
        QCOMPARE(w.alarms.EditYWavFileName->text(), QString("td.wav"));
        QCOMPARE(w.MediaPlayer1->openedFile(), QString());
    }

    void aChosenFileThatIsNoWaveShowsAnErrorNamingIt() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        const QString text = fixture.folder() + "/notes.wav";
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("just some text, not a sound");
        file.close();
        testDialogs().openFileAnswers.enqueue(text);
        QTest::mouseClick(w.alarms.ButtonBrowseYwav, Qt::LeftButton);
        QCOMPARE(w.alarms.EditYWavFileName->text(), text);
        QCOMPARE(testDialogs().errors.size(), 1);
        QVERIFY2(testDialogs().errors[0].contains(text), qPrintable(testDialogs().errors[0]));
        QVERIFY(testDialogs().errors[0].contains("not a wave file"));
    }
};

KORVANE_TEST_MAIN(TestAlarmMatrix)
#include "test_alarm_matrix.moc"
