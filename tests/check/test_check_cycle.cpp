// The road of one check, against real servers on loopback.
#include "check/CheckFixture.h"
#include "net/TNMHTTP.h"
#include "support/TestMain.h"
#include "support/TrayPicture.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

QJsonObject routes(const QJsonObject& table) {
    return QJsonObject{{"mode", "http"}, {"routes", table}};
}

QJsonObject reply(const QString& text, double delay = 0) {
    return QJsonObject{{"send", text}, {"delay", delay}};
}

// The texts the status bar showed, in order.
class StatusTexts {
public:
    explicit StatusTexts(TStatusBar* bar) : spy_(bar, &TStatusBar::simpleTextChanged) {}
    QStringList texts() const {
        QStringList out;
        for (const QList<QVariant>& args : spy_)
            out.append(args.at(0).toString());
        return out;
    }

private:
    QSignalSpy spy_;
};

QString httpDate(const QDateTime& when) {
    return QLocale::c().toString(when.toUTC(), "ddd, dd MMM yyyy hh:mm:ss") + " GMT";
}

} // namespace

class TestCheckCycle : public QObject {
    Q_OBJECT

    NginxPeer nginx;

private slots:
    void initTestCase() {
        nginx.addFile("index.html", "<html>hello</html>");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }
    void init() { testDialogs() = FakeDialogs(); }

    void successIsLoggedMarkedAndTimed() {
        CheckFixture f;
        f.w().alarms.rows[int(AlarmCondition::NoError)].Log->setChecked(true);
        const QString url = nginx.url("index.html");
        f.addPage(url);
        StatusTexts bar(f.w().StatusBar1);
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + url + " (0)seconds"});
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(bar.texts(), QStringList({"Checking " + url, url + " is OK", ""}));
        QCOMPARE(f.w().pages.history().sample(0, 0), 0);
        QCOMPARE(f.w().checkState.ErrorText, QString("No Error"));
        QCOMPARE(f.w().checkState.ReplyNumber, 200);
        QVERIFY(!f.w().checkState.CheckRunning);
        QVERIFY(!f.w().Timer2->isActive());
        QCOMPARE(trayPicture(f.w()), 4);
    }

    void notFoundThenUnknownHost() {
        CheckFixture f;
        const QString missing = nginx.url("missing.html");
        const QString unknown = "http://no-such-host.invalid/";
        f.addPage(missing);
        f.addPage(unknown);
        StatusTexts bar(f.w().StatusBar1);
        QCOMPARE(f.runCycle(), QStringList({"Page not found: : " + missing, "Host Not Found: " + unknown}));
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        QCOMPARE(f.status(1), PageStatus::RedAlarm);
        QCOMPARE(trayPicture(f.w()), 6);
        // The unknown host fires only its own row, and no reply of the page before counts.
        QCOMPARE(f.w().checkState.ReplyNumber, 0);
        QCOMPARE(f.w().checkState.ErrorText, QString("Invalid Host "));
        QVERIFY(bar.texts().contains(missing + " Failed"));
        QVERIFY(bar.texts().contains(unknown + " Invalid Host Error"));
        QVERIFY(!bar.texts().contains(unknown + " Failed"));
        // A failed fetch records the time-out setting as its access time.
        QCOMPARE(f.w().pages.history().sample(1, 0), 20);
    }

    void reply399SucceedsAnd400Fails() {
        ScriptedPeer peer(routes({{"/399", reply("HTTP/1.0 399 Odd\r\n\r\n")},
                                  {"/400", reply("HTTP/1.0 400 Bad Request\r\n\r\n")}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/399"));
        f.addPage(peer.url("/400"));
        f.runCycle();
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.status(1), PageStatus::RedAlarm);
        QCOMPARE(f.w().checkState.ReplyNumber, 400);
    }

    void slowAtTheThresholdAndOneOver() {
        // Answers after 2.5 watchdog ticks: the page took 2 "seconds", with half a tick to spare
        // either way.
        constexpr int tickMs = 400;
        ScriptedPeer peer(routes({{"*", reply("HTTP/1.0 200 OK\r\n\r\n", 2.5 * tickMs / 1000)}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.w().Timer2->setInterval(tickMs);
        const QString url = peer.url("/slow");
        f.addPage(url);
        f.w().connection.EditTimeSlow->setText("2");
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.w().pages.history().sample(0, 0), 2);

        f.w().connection.EditTimeSlow->setText("1");
        QCOMPARE(f.runCycle(), QStringList{"Slow Access: " + url + " (2)seconds"});
        QCOMPARE(f.status(0), PageStatus::YellowAlarm);
        QCOMPARE(f.w().checkState.ErrorText, QString("Slow Access: 2 seconds"));
        QCOMPARE(trayPicture(f.w()), 5);
    }

    void watchdogDisconnectsThenAbortsASilentServer() {
        ScriptedPeer peer(routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(peer.start());
        CheckFixture f;
        const QString url = peer.url("/silent");
        f.addPage(url);
        f.w().connection.EditTimeOut->setText("2");
        const QStringList lines = f.runCycle();
        // Disconnected at tick 2, aborted at tick 8 (more than 2 + 5).
        QCOMPARE(lines, QStringList({"Aborted: " + url, "TimedOut: " + url}));
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        QCOMPARE(f.w().checkState.ErrorText, QString("TimedOut"));
        QCOMPARE(f.w().checkState.ElapsedSeconds, 8);
        QCOMPARE(f.w().pages.history().sample(0, 0), 2);
    }

    void watchdogWithItsRealOneSecondTick() {
        ScriptedPeer peer(routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.w().Timer2->setInterval(1000);
        f.addPage(peer.url("/silent"));
        f.w().connection.EditTimeOut->setText("1");
        QElapsedTimer clock;
        clock.start();
        const QStringList lines = f.runCycle();
        QCOMPARE(lines.first(), "Aborted: " + peer.url("/silent"));
        QCOMPARE(f.w().checkState.ElapsedSeconds, 7);
        QVERIFY2(clock.elapsed() >= 6500 && clock.elapsed() < 9000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void changedPageFiresSizeSignatureAndDate() {
        CheckFixture f;
        const QString file = nginx.root() + "/changing.html";
        const QDateTime first = QDateTime::fromSecsSinceEpoch(1700000000);
        const QDateTime second = QDateTime::fromSecsSinceEpoch(1700003600);
        auto write = [&](const QByteArray& body, const QDateTime& when) {
            nginx.addFile("changing.html", body);
            QFile handle(file);
            QVERIFY(handle.open(QIODevice::ReadWrite));
            QVERIFY(handle.setFileTime(when, QFileDevice::FileModificationTime));
        };
        const QString url = nginx.url("changing.html");
        f.addPage(url);
        write(QByteArray(100, 'a'), first);
        QCOMPARE(f.runCycle(), QStringList());
        const QString firstDate = httpDate(first).remove(',');
        QCOMPARE(f.w().misc.SizeList->itemText(0), QString("100"));
        QCOMPARE(f.w().misc.LastDateList->itemText(0), firstDate);
        const QString firstTag = QString("\"%1-64\"").arg(first.toSecsSinceEpoch(), 0, 16);
        QCOMPARE(f.w().misc.SignatureList->itemText(0), firstTag);

        write(QByteArray(120, 'b'), second);
        const QString secondTag = QString("\"%1-78\"").arg(second.toSecsSinceEpoch(), 0, 16);
        const QString secondDate = httpDate(second).remove(',');
        QCOMPARE(f.runCycle(),
                 QStringList({"Page Size Changed: old=100 new=120 : " + url,
                              "Page Signature Changed: old=" + firstTag + " new=" + secondTag + ": " + url,
                              "Page Date Changed: old=" + firstDate + " new=" + secondDate + ": " + url}));
        QCOMPARE(f.status(0), PageStatus::YellowAlarm);
        QCOMPARE(f.w().misc.SizeList->itemText(0), QString("120"));
        // Storing the new values kept the options.
        QVERIFY(f.w().misc.SizeList->isChecked(0));

        // With the checks off nothing fires, but the values are still brought up to date.
        for (TCheckListBox* list : {f.w().misc.SizeList, f.w().misc.LastDateList, f.w().misc.SignatureList})
            list->setChecked(0, false);
        write(QByteArray(90, 'c'), first);
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.w().misc.SizeList->itemText(0), QString("90"));
        QVERIFY(!f.w().misc.SizeList->isChecked(0));
    }

    void redirectsAreFollowedByTheCycle() {
        ScriptedPeer peer(routes({
            {"/lower", reply("HTTP/1.0 302 Found\r\nlocation: http://127.0.0.1:{PORT}/target\r\n\r\n")},
            {"/relative", reply("HTTP/1.0 301 Moved\r\nLocation: target\r\n\r\n")},
            {"/nowhere", reply("HTTP/1.0 302 Found\r\nContent-Length: 0\r\n\r\n")},
            {"/target", reply("HTTP/1.0 200 OK\r\n\r\n")},
        }));
        QVERIFY(peer.start());
        CheckFixture f;
        f.w().alarms.rows[int(AlarmCondition::NoError)].Log->setChecked(true);
        const QString target = peer.url("/target");
        f.addPage(peer.url("/lower"));
        StatusTexts bar(f.w().StatusBar1);
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + target + " (0)seconds"});
        QCOMPARE(f.status(0), PageStatus::Ok);
        QVERIFY(bar.texts().contains(target + " is OK"));
        QCOMPARE(f.w().checkState.ListedURL, peer.url("/lower"));
        QCOMPARE(f.w().checkState.CurrentURL, target);

        f.w().pages.deletePage(0);
        f.addPage(peer.url("/relative"));
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + target + " (0)seconds"});

        // A redirect that names no address ends the page with its own reply, a success.
        f.w().pages.deletePage(0);
        f.addPage(peer.url("/nowhere"));
        const int before = peer.requests().size();
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + peer.url("/nowhere") + " (0)seconds"});
        QCOMPARE(f.w().checkState.ReplyNumber, 302);
        QCOMPARE(peer.requests().size(), before + 1);
    }

    void entityTagWithACommaSurvivesARestart() {
        ScriptedPeer peer(
            routes({{"*", reply("HTTP/1.0 200 OK\r\nETag: \"v1,gzip\"\r\nContent-Length: 5\r\n\r\n")}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/a"));
        f.addPage(nginx.url("index.html"));
        f.runCycle();
        f.restart();
        QCOMPARE(f.w().pages.pageCount(), 2);
        QCOMPARE(f.w().misc.SizeList->itemText(0), QString("5"));
        QCOMPARE(f.w().misc.SizeList->itemText(1), QString("18"));
        QVERIFY(f.w().misc.SignatureList->isChecked(1));
        // The same tag seen again is no change.
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
    }

    void scheduledChecksStartOneSecondAfterPressing() {
        CheckFixture f;
        f.addPage(nginx.url("index.html"));
        QToolButton* start = f.w().toolBar.SpeedButtonStart;
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(start->isChecked());
        QVERIFY(f.w().Timer1->isActive());
        QCOMPARE(f.w().Timer1->interval(), 1000);
        // The first cycle moves the timer to the interval of the Connection tab.
        f.w().connection.EditInterval->setText("3");
        QTRY_COMPARE_WITH_TIMEOUT(f.status(0), PageStatus::Ok, 5000);
        QCOMPARE(f.w().Timer1->interval(), 3 * 60000);
        QVERIFY(f.w().Timer1->isActive());
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(!f.w().Timer1->isActive());
    }

    void emptyListEndsAtOnce() {
        CheckFixture f;
        f.w().StatusBar1->setSimpleText("before");
        QCOMPARE(f.runCycle(), QStringList());
        QVERIFY(!f.w().checkState.CheckRunning);
        QCOMPARE(f.statusBar(), QString());
        QCOMPARE(trayPicture(f.w()), 4);
    }

    void twoQuickClicksRunOneCycle() {
        ScriptedPeer peer(routes({{"*", reply("HTTP/1.0 200 OK\r\n\r\n", 0.3)}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/a"));
        QToolButton* once = f.w().toolBar.SpeedButton1;
        QTimer::singleShot(100, &f.w(), [&] {
            f.w().PageControl1->setCurrentWidget(f.w().logTab.TabSheetLog);
            QTest::mouseClick(once, Qt::LeftButton);
            // The second click only switched to the Status tab.
            QCOMPARE(f.w().PageControl1->currentWidget(), f.w().status.TabSheetStatus);
        });
        QTest::mouseClick(once, Qt::LeftButton);
        QCOMPARE(peer.requests().size(), 1);
    }

    void abortEndsTheWalkAndTheNextCycleCleansUp() {
        ScriptedPeer silent(routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(silent.start());
        CheckFixture f;
        for (int i = 0; i < 5; ++i)
            f.addPage(i == 2 ? silent.url("/hang") : nginx.url("index.html"));
        f.w().pages.writeStatus(3, PageStatus::YellowAlarm);
        f.w().pages.writeStatus(4, PageStatus::YellowAlarm);
        // Abort while the third page waits.
        QTimer abortOnThird;
        connect(&abortOnThird, &QTimer::timeout, &f.w(), [&] {
            if (f.status(2) == PageStatus::Checking) {
                abortOnThird.stop();
                f.w().toolBar.SpeedButton2->click();
            }
        });
        abortOnThird.start(20);
        const QStringList lines = f.runCycle();
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join('|')));
        QCOMPARE(f.status(1), PageStatus::Ok);
        QCOMPARE(f.status(2), PageStatus::Failed);
        QCOMPARE(f.status(3), PageStatus::YellowAlarm);
        QCOMPARE(f.status(4), PageStatus::YellowAlarm);
        QVERIFY(!f.w().checkState.CheckRunning);

        f.w().pages.deletePage(2);
        f.runCycle();
        QVERIFY(!f.w().NMHTTP2->Canceled);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.status(i), PageStatus::Ok);
    }

    void pageListIsReadAfreshOnEveryPass() {
        ScriptedPeer peer(routes({{"*", reply("HTTP/1.0 200 OK\r\n\r\n", 0.3)}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/first"));
        f.addPage(peer.url("/second"));
        QTimer::singleShot(100, &f.w(), [&] {
            f.w().webPages.CheckListBoxURL->setChecked(1, false);
            f.addPage(nginx.url("index.html"));
        });
        f.runCycle();
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.status(1), PageStatus::Excluded);
        QCOMPARE(f.status(2), PageStatus::Ok);
    }

    void soundThatCannotBePlayedDoesNotStopTheWatch() {
        CheckFixture f;
        f.w().alarms.EditRWavFileName->setText("no-such-sound.wav");
        f.addPage(nginx.url("missing.html"));
        f.addPage(nginx.url("missing-too.html"));
        f.addPage(nginx.url("index.html"));
        f.runCycle();
        QCOMPARE(f.status(2), PageStatus::Ok);
        QCOMPARE(testDialogs().errors.size(), 1);
        QVERIFY(testDialogs().errors[0].contains("no-such-sound.wav"));
        QVERIFY(!f.w().checkState.CheckRunning);
    }

    void closingWhileACheckWaitsOnASilentServer() {
        ScriptedPeer peer(routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(peer.start());
        CheckFixture f;
        f.addPage(peer.url("/hang"));
        f.addPage(nginx.url("index.html"));
        QTimer::singleShot(300, &f.w(), [&] { f.w().close(); });
        QElapsedTimer clock;
        clock.start();
        f.runCycle();
        QVERIFY(clock.elapsed() < 5000);
        // The walk stopped at the page that was waiting, and the settings were saved.
        QCOMPARE(f.status(1), PageStatus::Failed);
        QVERIFY(f.settingsText().contains("CheckListBoxURL=1" + peer.url("/hang").toUtf8()));
    }
};

KORVANE_TEST_MAIN(TestCheckCycle)
#include "test_check_cycle.moc"
