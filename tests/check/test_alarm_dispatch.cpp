// The reactions of firing rows and the after-page dispatch, driven directly.
#include "check/AlarmDispatch.h"
#include "notify/AlarmMailSender.h"
#include "sound/TMediaPlayer.h"
#include "sound/WaveFile.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/TStatusBar.h"

#include "views/LogView.h"
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>

namespace {

AlarmRow& row(TFormMainWindow& w, AlarmCondition c) {
    return w.alarms.rows[int(c)];
}

void untickAll(TFormMainWindow& w) {
    for (AlarmRow& r : w.alarms.rows) {
        for (QCheckBox* box : {r.Log, r.Yellow, r.Red, r.PlayWav, r.Email1, r.Email2, r.Email3}) {
            if (box)
                box->setChecked(false);
        }
    }
}

} // namespace

class TestAlarmDispatch : public QObject {
    Q_OBJECT

    WindowFixture* fixture = nullptr;
    TFormMainWindow* w = nullptr;
    int page = 0;

    void startPage() {
        w->checkState.PlaySound = false;
        w->checkState.SendMail = false;
        w->checkState.ToAddress.clear();
        w->pages.writeStatus(page, PageStatus::Ok);
    }

private slots:
    void init() {
        testDialogs() = FakeDialogs();
        fixture = new WindowFixture;
        w = &fixture->start();
        page = w->pages.addPage("http://a.example/", false, false, false);
        w->checkState = CheckState();
        w->checkState.CurrentURL = "http://a.example/";
        for (const char* name : {"yellow.wav", "red.wav"}) {
            QFile file(fixture->folder() + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(WaveFile::pcm16Mono(QList<qint16>(10, 0), 8000));
        }
        w->alarms.EditYWavFileName->setText("yellow.wav");
        w->alarms.EditRWavFileName->setText("red.wav");
        startPage();
    }
    void cleanup() {
        delete fixture;
        fixture = nullptr;
    }

    void yellowThenRedLeavesTheStatusRed() {
        row(*w, AlarmCondition::SlowAccess).Red->setChecked(true);
        w->alarmDispatch().fireRow(AlarmCondition::SlowAccess, page);
        QCOMPARE(w->pages.readStatus(page), PageStatus::RedAlarm);
        QVERIFY(w->checkState.YellowRaised);
        QVERIFY(w->checkState.RedRaised);
    }

    void laterYellowRowOverwritesRedSoThePageGetsNoSoundAndNoReveal() {
        row(*w, AlarmCondition::SlowAccess).Yellow->setChecked(false);
        row(*w, AlarmCondition::SlowAccess).Red->setChecked(true);
        row(*w, AlarmCondition::SlowAccess).PlayWav->setChecked(true);
        w->alarmDispatch().fireRow(AlarmCondition::SlowAccess, page);
        w->alarmDispatch().fireRow(AlarmCondition::SizeChanged, page);
        QCOMPARE(w->pages.readStatus(page), PageStatus::YellowAlarm);
        w->PageControl1->setCurrentWidget(w->logTab.TabSheetLog);
        w->alarmDispatch().afterPage(page);
        QCOMPARE(w->MediaPlayer1->openedFile(), QString());
        QCOMPARE(w->PageControl1->currentWidget(), w->logTab.TabSheetLog);
    }

    void redPagePlaysTheRedSoundAndComesBack() {
        w->PageControl1->setCurrentWidget(w->logTab.TabSheetLog);
        w->hide();
        w->alarmDispatch().fireRow(AlarmCondition::HostNotFound, page);
        w->alarmDispatch().afterPage(page);
        QCOMPARE(w->MediaPlayer1->openedFile(), fixture->folder() + "/red.wav");
        QVERIFY(w->isVisible());
        QCOMPARE(w->PageControl1->currentWidget(), w->status.TabSheetStatus);
    }

    void yellowPageAfterARedOneInTheSameCycleStaysSilent() {
        w->alarmDispatch().fireRow(AlarmCondition::HostNotFound, page);
        w->alarmDispatch().afterPage(page);
        const int second = w->pages.addPage("http://b.example/", false, false, false);
        page = second;
        startPage();
        w->MediaPlayer1->Close();
        w->alarmDispatch().fireRow(AlarmCondition::SizeChanged, page);
        w->alarmDispatch().afterPage(page);
        QCOMPARE(w->pages.readStatus(page), PageStatus::YellowAlarm);
        QCOMPARE(w->MediaPlayer1->openedFile(), QString());
    }

    void yellowPagePlaysTheYellowSound() {
        w->alarmDispatch().fireRow(AlarmCondition::DateChanged, page);
        w->alarmDispatch().afterPage(page);
        QCOMPARE(w->MediaPlayer1->openedFile(), fixture->folder() + "/yellow.wav");
    }

    void playWavWithoutAColourPlaysNothing() {
        untickAll(*w);
        row(*w, AlarmCondition::TimeOut).PlayWav->setChecked(true);
        w->alarmDispatch().fireRow(AlarmCondition::TimeOut, page);
        QVERIFY(w->checkState.PlaySound);
        w->alarmDispatch().afterPage(page);
        QCOMPARE(w->MediaPlayer1->openedFile(), QString());
        QCOMPARE(w->pages.readStatus(page), PageStatus::Ok);
    }

    void recipientsAreAddedOncePerFiringRow() {
        untickAll(*w);
        w->sendingEmail.EditEMail1->setText("one@example.test");
        w->sendingEmail.EditEMail3->setText("three@example.test");
        row(*w, AlarmCondition::SlowAccess).Email1->setChecked(true);
        row(*w, AlarmCondition::SizeChanged).Email1->setChecked(true);
        row(*w, AlarmCondition::SizeChanged).Email3->setChecked(true);
        w->alarmDispatch().fireRow(AlarmCondition::SlowAccess, page);
        w->alarmDispatch().fireRow(AlarmCondition::SizeChanged, page);
        QCOMPARE(w->checkState.ToAddress,
                 QStringList({"one@example.test", "one@example.test", "three@example.test"}));
        QVERIFY(w->checkState.SendMail);
        w->hide();
        w->alarmDispatch().afterPage(page);
        QVERIFY(w->isVisible());
        QCOMPARE(w->StatusBar1->simpleText(), QString("Sending Email "));
        QTRY_VERIFY(w->mailSender().MailQueueEmpty());
    }

    void logTextsOfEveryRow() {
        const struct {
            AlarmCondition condition;
            const char* errorText;
            const char* line;
        } rows[] = {
            {AlarmCondition::NoError, "No Error", "Checked Sucessfully: http://a.example/ (3)seconds"},
            {AlarmCondition::SlowAccess, "Slow Access: 3 seconds",
             "Slow Access: http://a.example/ (3)seconds"},
            {AlarmCondition::PageNotFound, "Page not found: ", "Page not found: : http://a.example/"},
            {AlarmCondition::HostNotFound, "Invalid Host ", "Host Not Found: http://a.example/"},
            {AlarmCondition::TimeOut, "TimedOut", "TimedOut: http://a.example/"},
            {AlarmCondition::SizeChanged, "Page Size Changed: old=1 new=2 ",
             "Page Size Changed: old=1 new=2 : http://a.example/"},
        };
        row(*w, AlarmCondition::NoError).Log->setChecked(true);
        w->checkState.ElapsedSeconds = 3;
        for (const auto& r : rows) {
            w->checkState.ErrorText = r.errorText;
            w->alarmDispatch().fireRow(r.condition, page);
            QTRY_VERIFY(w->logTab.Log->toPlainText().endsWith(QString("] ") + r.line));
        }
    }
};

KORVANE_TEST_MAIN(TestAlarmDispatch)
#include "test_alarm_dispatch.moc"
