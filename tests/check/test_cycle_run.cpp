// The road of one check through the monitor without a window, against real servers on loopback.
#include "history/HistoryStore.h"
#include "support/EngineTestMain.h"
#include "support/FakeDialogs.h"
#include "support/MonitorFixture.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/TestAuthority.h"
#include "support/net/TinyproxyPeer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLocale>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <memory>
#include <vector>

namespace {

// The texts the status bar showed, in order.
class StatusTexts {
public:
    explicit StatusTexts(StatusLine& line) : spy_(&line, &StatusLine::textSet) {}
    QStringList texts() const {
        QStringList out;
        for (const QList<QVariant>& args : spy_)
            out.append(args.at(0).toString());
        return out;
    }

private:
    QSignalSpy spy_;
};

// A watchdog interval no test waits for: the test calls the ticks itself.
constexpr int NeverMs = 24 * 3600 * 1000;

QString httpDate(const QDateTime& when) {
    return QLocale::c().toString(when.toUTC(), "ddd, dd MMM yyyy hh:mm:ss") + " GMT";
}

// The kinds of the history's events, in the order they were written.
QStringList historyEvents(const QString& path) {
    QStringList kinds;
    {
        QSqlDatabase file = QSqlDatabase::addDatabase("QSQLITE", "events");
        file.setDatabaseName(path);
        QSqlQuery query(file);
        if (file.open() && query.exec("SELECT kind FROM events ORDER BY rowid"))
            while (query.next())
                kinds << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase("events");
    return kinds;
}

} // namespace

class TestCycleRun : public QObject {
    Q_OBJECT

    NginxPeer nginx;

private slots:
    void initTestCase() {
        nginx.addFile("index.html", "<html>hello</html>");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }
    void init() { testDialogs() = FakeDialogs(); }

    void successIsLoggedMarkedAndTimed() {
        MonitorFixture f;
        f.raise(AlarmCondition::NoError, AlarmReaction::Log);
        const QString url = nginx.url("index.html");
        f.addPage(url);
        StatusTexts bar(f.m().statusLine);
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + url + " (0)seconds"});
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(bar.texts(), QStringList({"Checking " + url, url + " is OK", ""}));
        QCOMPARE(f.m().pages.history(0)[0], 0);
        QCOMPARE(f.m().checkState.ErrorText, QString("No Error"));
        QCOMPARE(f.m().checkState.ReplyNumber, 200);
        QVERIFY(!f.m().checkState.CheckRunning);
        QVERIFY(!f.m().Timer2->isActive());
        QCOMPARE(f.tray(), 4);
    }

    void notFoundThenUnknownHost() {
        MonitorFixture f;
        const QString missing = nginx.url("missing.html");
        const QString unknown = "http://no-such-host.invalid/";
        f.addPage(missing);
        f.addPage(unknown);
        StatusTexts bar(f.m().statusLine);
        QCOMPARE(f.runCycle(), QStringList({"Page not found: : " + missing, "Host Not Found: " + unknown}));
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        QCOMPARE(f.status(1), PageStatus::RedAlarm);
        QCOMPARE(f.tray(), 6);
        // The unknown host fires only its own row, and no reply of the page before counts.
        QCOMPARE(f.m().checkState.ReplyNumber, 0);
        QCOMPARE(f.m().checkState.ErrorText, QString("Invalid Host "));
        QVERIFY(bar.texts().contains(missing + " Failed"));
        QVERIFY(bar.texts().contains(unknown + " Invalid Host Error"));
        QVERIFY(!bar.texts().contains(unknown + " Failed"));
        // A failed fetch records the time-out setting as its access time.
        QCOMPARE(f.m().pages.history(1)[0], 20);
    }

    void reply399SucceedsAnd400Fails() {
        ScriptedPeer peer(
            ScriptedPeer::routes({{"/399", ScriptedPeer::reply("HTTP/1.0 399 Odd\r\n\r\n")},
                                  {"/400", ScriptedPeer::reply("HTTP/1.0 400 Bad Request\r\n\r\n")}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.addPage(peer.url("/399"));
        f.addPage(peer.url("/400"));
        f.runCycle();
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.status(1), PageStatus::RedAlarm);
        QCOMPARE(f.m().checkState.ReplyNumber, 400);
    }

    // A page's seconds are whole seconds of its own, from its first request to its answer.
    void slowAtTheThresholdAndOneOver_data() {
        QTest::addColumn<QString>("slow");
        QTest::addColumn<bool>("slowRaised");
        QTest::newRow("at the threshold") << "2" << false;
        QTest::newRow("one over") << "1" << true;
    }

    void slowAtTheThresholdAndOneOver() {
        QFETCH(QString, slow);
        QFETCH(bool, slowRaised);
        ScriptedPeer peer(ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\n\r\n", 2.0)}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.m().Timer2->setInterval(1000);
        const QString url = peer.url("/slow");
        f.addPage(url);
        f.settings().setText("EditTimeSlow", slow);
        QCOMPARE(f.runCycle(),
                 slowRaised ? QStringList{"Slow Access: " + url + " (2)seconds"} : QStringList());
        QCOMPARE(f.status(0), slowRaised ? PageStatus::YellowAlarm : PageStatus::Ok);
        QCOMPARE(f.m().pages.history(0)[0], 2);
        if (slowRaised) {
            QCOMPARE(f.m().checkState.ErrorText, QString("Slow Access: 2 seconds"));
            QCOMPARE(f.tray(), 5);
        }
    }

    void watchdogEndsASilentServerAtItsTimeOut() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        const QString url = peer.url("/silent");
        f.addPage(url);
        f.settings().setText("EditTimeOut", "2");
        QCOMPARE(f.runCycle(), QStringList{"TimedOut: " + url});
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        QCOMPARE(f.m().checkState.ErrorText, QString("TimedOut"));
        QCOMPARE(f.m().checkState.ElapsedSeconds, 2);
        QCOMPARE(f.m().pages.history(0)[0], 2);
    }

    void timeOutWithARealSecond() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.m().Timer2->setInterval(1000);
        f.addPage(peer.url("/silent"));
        f.settings().setText("EditTimeOut", "1");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(f.runCycle(), QStringList{"TimedOut: " + peer.url("/silent")});
        QCOMPARE(f.m().checkState.ElapsedSeconds, 1);
        // A real second cannot pass sooner, and the result is in soon after the time-out.
        QVERIFY2(clock.elapsed() >= 1000 && clock.elapsed() < 10000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void changedPageFiresSizeSignatureAndDate() {
        MonitorFixture f;
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
        QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("100"));
        QCOMPARE(f.m().pages.value(PageRecords::Date, 0), firstDate);
        const QString firstTag = QString("\"%1-64\"").arg(first.toSecsSinceEpoch(), 0, 16);
        QCOMPARE(f.m().pages.value(PageRecords::Signature, 0), firstTag);

        write(QByteArray(120, 'b'), second);
        const QString secondTag = QString("\"%1-78\"").arg(second.toSecsSinceEpoch(), 0, 16);
        const QString secondDate = httpDate(second).remove(',');
        QCOMPARE(f.runCycle(),
                 QStringList({"Page Size Changed: old=100 new=120 : " + url,
                              "Page Signature Changed: old=" + firstTag + " new=" + secondTag + ": " + url,
                              "Page Date Changed: old=" + firstDate + " new=" + secondDate + ": " + url}));
        QCOMPARE(f.status(0), PageStatus::YellowAlarm);
        QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("120"));
        // Storing the new values kept the options.
        QVERIFY(f.m().pages.checked(PageRecords::Size, 0));

        // With the checks off nothing fires, but the values are still brought up to date.
        for (PageRecords::Column column : {PageRecords::Size, PageRecords::Date, PageRecords::Signature})
            f.m().pages.setChecked(column, 0, false);
        write(QByteArray(90, 'c'), first);
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("90"));
        QVERIFY(!f.m().pages.checked(PageRecords::Size, 0));
    }

    void redirectsAreFollowedByTheCycle() {
        ScriptedPeer peer(ScriptedPeer::routes({
            {"/lower",
             ScriptedPeer::reply("HTTP/1.0 302 Found\r\nlocation: http://127.0.0.1:{PORT}/target\r\n\r\n")},
            {"/relative", ScriptedPeer::reply("HTTP/1.0 301 Moved\r\nLocation: target\r\n\r\n")},
            {"/nowhere", ScriptedPeer::reply("HTTP/1.0 302 Found\r\nContent-Length: 0\r\n\r\n")},
            {"/target", ScriptedPeer::reply("HTTP/1.0 200 OK\r\n\r\n")},
        }));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.raise(AlarmCondition::NoError, AlarmReaction::Log);
        const QString target = peer.url("/target");
        f.addPage(peer.url("/lower"));
        StatusTexts bar(f.m().statusLine);
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + target + " (0)seconds"});
        QCOMPARE(f.status(0), PageStatus::Ok);
        QVERIFY(bar.texts().contains(target + " is OK"));
        QCOMPARE(f.m().checkState.ListedURL, peer.url("/lower"));
        QCOMPARE(f.m().checkState.CurrentURL, target);

        f.m().pages.deletePage(0);
        f.addPage(peer.url("/relative"));
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + target + " (0)seconds"});

        // A redirect that names no address ends the page with its own reply, a success.
        f.m().pages.deletePage(0);
        f.addPage(peer.url("/nowhere"));
        const int before = peer.requests().size();
        QCOMPARE(f.runCycle(), QStringList{"Checked Sucessfully: " + peer.url("/nowhere") + " (0)seconds"});
        QCOMPARE(f.m().checkState.ReplyNumber, 302);
        QCOMPARE(peer.requests().size(), before + 1);
    }

    void entityTagWithACommaSurvivesARestart() {
        ScriptedPeer peer(ScriptedPeer::routes(
            {{"*",
              ScriptedPeer::reply("HTTP/1.0 200 OK\r\nETag: \"v1,gzip\"\r\nContent-Length: 5\r\n\r\n")}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.addPage(peer.url("/a"));
        f.addPage(nginx.url("index.html"));
        f.runCycle();
        f.restart();
        QCOMPARE(f.m().pages.pageCount(), 2);
        QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("5"));
        QCOMPARE(f.m().pages.value(PageRecords::Size, 1), QString("18"));
        QVERIFY(f.m().pages.checked(PageRecords::Signature, 1));
        // The same tag seen again is no change.
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
    }

    void emptyListEndsAtOnce() {
        MonitorFixture f;
        f.m().statusLine.setText("before");
        QCOMPARE(f.runCycle(), QStringList());
        QVERIFY(!f.m().checkState.CheckRunning);
        QCOMPARE(f.statusBar(), QString());
        QCOMPARE(f.tray(), 4);
    }

    void abortEndsTheWalkAndTheNextCycleRunsInFull() {
        ScriptedPeer silent(ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(silent.start());
        MonitorFixture f;
        for (int i = 0; i < 5; ++i)
            f.addPage(i == 2 ? silent.url("/hang") : nginx.url("index.html"));
        f.m().pages.writeStatus(3, PageStatus::YellowAlarm);
        f.m().pages.writeStatus(4, PageStatus::YellowAlarm);
        // One page at a time, as before there were more: abort while the third page waits.
        f.settings().setText("EditParallelChecks", "1");
        QTimer abortOnThird;
        connect(&abortOnThird, &QTimer::timeout, &f.m(), [&] {
            if (f.status(2) == PageStatus::Checking) {
                abortOnThird.stop();
                f.m().checkCycle().AbortCheckExecute();
            }
        });
        abortOnThird.start(20);
        const QStringList lines = f.runCycle();
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join('|')));
        QCOMPARE(f.status(1), PageStatus::Ok);
        QCOMPARE(f.status(2), PageStatus::Failed);
        QCOMPARE(f.status(3), PageStatus::YellowAlarm);
        QCOMPARE(f.status(4), PageStatus::YellowAlarm);
        QVERIFY(!f.m().checkState.CheckRunning);

        f.m().pages.deletePage(2);
        f.runCycle();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.status(i), PageStatus::Ok);
    }

    // A page's tick is read when its turn comes; a page added during the walk waits for the next.
    void pageListIsReadWhenAPageStarts() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\n\r\n", 0.3)}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.settings().setText("EditParallelChecks", "1");
        f.addPage(peer.url("/first"));
        f.addPage(peer.url("/second"));
        f.whenChecking(peer.url("/first"), [&] {
            f.m().pages.setIncluded(1, false);
            f.addPage(nginx.url("index.html"));
        });
        f.runCycle();
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.status(1), PageStatus::Excluded);
        QCOMPARE(f.status(2), PageStatus::Failed); // as added: not checked yet
    }

    // Pages are checked side by side, each timed on its own, and handed back in list order: a
    // silent server first in the list holds up nobody, and the answers that come first wait
    // for it before they are logged.
    void pagesSideBySideLandInListOrder() {
        const QString notFound = "HTTP/1.0 404 Not Found\r\n\r\n";
        auto sized = [](int bytes) {
            return QString("HTTP/1.0 200 OK\r\nContent-Length: %1\r\n\r\n").arg(bytes);
        };
        auto together = [](const QString& text, double delay) {
            return QJsonObject{{"send", text}, {"delay", delay}, {"together", 4}};
        };
        ScriptedPeer peer(ScriptedPeer::routes({{"/silent", QJsonObject{{"silent", true}}},
                                                {"/a", together(notFound, 0.4)},
                                                {"/b", together(sized(222), 0)},
                                                {"/c", together(notFound, 0.1)},
                                                {"/d", together(sized(444), 0.2)}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.muteSounds();
        f.settings().setText("EditTimeOut", "3");
        for (const char* path : {"/silent", "/a", "/b", "/c", "/d"})
            f.addPage(peer.url(path));
        QCOMPARE(f.runCycle(),
                 QStringList({"TimedOut: " + peer.url("/silent"), "Page not found: : " + peer.url("/a"),
                              "Page not found: : " + peer.url("/c")}));
        const PageStatus expected[] = {PageStatus::RedAlarm, PageStatus::RedAlarm, PageStatus::Ok,
                                       PageStatus::RedAlarm, PageStatus::Ok};
        for (int page = 0; page < 5; ++page)
            QCOMPARE(f.status(page), expected[page]);
        QCOMPARE(f.m().pages.value(PageRecords::Size, 2), QString("222"));
        QCOMPARE(f.m().pages.value(PageRecords::Size, 4), QString("444"));
        QCOMPARE(f.m().pages.history(0)[0], 3);
    }

    // Sixteen pages at once, at most six of them to one server; an abort ends them all at once.
    void abortWithSixteenInFlightAndSixAServer() {
        std::vector<std::unique_ptr<ScriptedPeer>> servers;
        MonitorFixture f;
        f.m().Timer2->setInterval(NeverMs);
        for (int server = 0; server < 3; ++server) {
            servers.push_back(
                std::make_unique<ScriptedPeer>(ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}})));
            QVERIFY(servers.back()->start());
            for (int page = 0; page < 7; ++page)
                f.m().pages.writeStatus(f.addPage(servers.back()->url(QString("/%1").arg(page))),
                                        PageStatus::YellowAlarm);
        }
        QTimer::singleShot(0, &f.m(), [&] {
            auto seen = [&](int server) { return int(servers[server]->requests().size()); };
            QTRY_VERIFY(seen(0) + seen(1) + seen(2) == 16);
            QCOMPARE(QList<int>({seen(0), seen(1), seen(2)}), QList<int>({6, 6, 4}));
            f.m().checkCycle().AbortCheckExecute();
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(f.runCycle(), QStringList());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        // The requests cut short failed without an alarm; the pages never started were left alone.
        for (int page = 0; page < 21; ++page) {
            const bool started = page % 7 < 6 && page < 18;
            QCOMPARE(f.status(page), started ? PageStatus::Failed : PageStatus::YellowAlarm);
        }
        QCOMPARE(f.tray(), 4);
        QCOMPARE(servers[2]->requests().size(), 4);
    }

    void soundThatCannotBePlayedDoesNotStopTheWatch() {
        MonitorFixture f;
        f.settings().setText("EditRWavFileName", "no-such-sound.wav");
        f.addPage(nginx.url("missing.html"));
        f.addPage(nginx.url("missing-too.html"));
        f.addPage(nginx.url("index.html"));
        f.runCycle();
        QCOMPARE(f.status(2), PageStatus::Ok);
        QCOMPARE(testDialogs().errors.size(), 1);
        QVERIFY(testDialogs().errors[0].contains("no-such-sound.wav"));
        QVERIFY(!f.m().checkState.CheckRunning);
    }

    void closingWhileACheckWaitsOnASilentServer() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", QJsonObject{{"silent", true}}}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.addPage(peer.url("/hang"));
        f.addPage(nginx.url("index.html"));
        // Closed while the request waits, far sooner than the time-out would end it.
        f.whenChecking(peer.url("/hang"), [&] { QTimer::singleShot(0, &f.m(), [&] { f.end(); }); });
        QElapsedTimer clock;
        clock.start();
        f.runCycle();
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        // The walk stopped at the page that was waiting, and the settings were saved.
        QCOMPARE(f.status(1), PageStatus::Failed);
        QVERIFY(f.settingsText().contains("CheckListBoxURL=1" + peer.url("/hang").toUtf8()));
        // The cycle ended before the program did, so the next start finds a run that ended well.
        const QString history = f.m().history().path();
        f.restart();
        f.m().history().flush();
        QCOMPARE(historyEvents(history),
                 QStringList({"program start", "cycle start", "cycle end", "program end", "program start"}));
    }

    // Fewer checks at once than are running, set in the middle of a cycle: it applies from then on.
    void parallelChecksLoweredMidCycle() {
        ScriptedPeer peer(ScriptedPeer::routes({{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\n\r\n", 0.1)}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        for (int page = 0; page < 8; ++page)
            f.addPage(peer.url(QString("/%1").arg(page)));
        f.whenChecking(peer.url("/0"), [&] { f.settings().setText("EditParallelChecks", "2"); });
        f.runCycle();
        for (int page = 0; page < 8; ++page)
            QCOMPARE(f.status(page), PageStatus::Ok);
    }

    // Results land on the page that was checked, whatever the user deletes while it waits.
    void deletingPagesWhileOneWaits_data() {
        QTest::addColumn<bool>("waitingPageDeleted");
        QTest::newRow("the waiting page") << true;
        QTest::newRow("a page before it") << false;
    }

    void deletingPagesWhileOneWaits() {
        QFETCH(bool, waitingPageDeleted);
        ScriptedPeer slow(ScriptedPeer::routes(
            {{"*", ScriptedPeer::reply("HTTP/1.0 200 OK\r\nContent-Length: 777\r\n\r\n", 0.3)}}));
        QVERIFY(slow.start());
        nginx.addFile("other.html", QByteArray(25, 'o'));
        MonitorFixture f;
        f.m().Timer2->setInterval(NeverMs);
        f.raise(AlarmCondition::NoError, AlarmReaction::Log);
        const QString first = nginx.url("index.html"), waiting = slow.url("/slow"),
                      last = nginx.url("other.html");
        if (!waitingPageDeleted)
            f.addPage(first);
        f.addPage(waiting);
        f.addPage(last);
        f.whenChecking(waiting, [&] { QTimer::singleShot(0, &f.m(), [&] { f.m().pages.deletePage(0); }); });
        const QStringList lines = f.runCycle();
        auto checked = [](const QString& url) { return "Checked Sucessfully: " + url + " (0)seconds"; };
        const QStringList left = waitingPageDeleted ? QStringList{last} : QStringList{waiting, last};
        const QStringList sizes = waitingPageDeleted ? QStringList{"25"} : QStringList{"777", "25"};
        const QStringList expected = waitingPageDeleted
                                         ? QStringList{checked(last)}
                                         : QStringList{checked(first), checked(waiting), checked(last)};
        QCOMPARE(lines, expected);
        QCOMPARE(f.urls(), left);
        for (int i = 0; i < left.size(); ++i) {
            QCOMPARE(f.status(i), PageStatus::Ok);
            QCOMPARE(f.m().pages.value(PageRecords::Size, i), sizes[i]);
            QCOMPARE(f.m().pages.history(i)[0], 0);
            QCOMPARE(f.m().pages.history(i)[1], -1);
        }
    }

    void noCycleStartsInsideItsErrorBox() {
        MonitorFixture f;
        f.settings().setText("EditRWavFileName", "no-such-sound.wav");
        f.addPage(nginx.url("missing.html"));
        int ticks = 0;
        connect(f.m().Timer1, &QTimer::timeout, &f.m(), [&] { ++ticks; });
        testDialogs().whileErrorShown = [&] {
            testDialogs().whileErrorShown = nullptr;
            // The schedule comes due while the box is open.
            f.m().Timer1->start(1);
            QVERIFY(QTest::qWaitFor([&] { return ticks >= 3; }, 10000));
            f.m().Timer1->stop();
        };
        QCOMPARE(f.runCycle(), QStringList{"Page not found: : " + nginx.url("missing.html")});
        QCOMPARE(testDialogs().errors.size(), 1);
    }

    void absentFieldsAreUnknownNotChanged_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("no fields") << "HTTP/1.0 200 OK\r\n\r\n";
        QTest::newRow("zero length") << "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n";
        QTest::newRow("unreadable or empty")
            << "HTTP/1.0 200 OK\r\nContent-Length: lots\r\nETag: \r\nLast-Modified:\r\n\r\n";
    }

    void absentFieldsAreUnknownNotChanged() {
        QFETCH(QString, answer);
        const QString known = "HTTP/1.0 200 OK\r\nContent-Length:5120\r\nETag: \"v1\"\r\n"
                              "Last-Modified: Sun, 06 Dec 1998 10:00:00 GMT\r\n\r\n";
        ScriptedPeer peer(ScriptedPeer::routes(
            {{"/known", ScriptedPeer::reply(known)}, {"/bare", ScriptedPeer::reply(answer)}}));
        QVERIFY(peer.start());
        MonitorFixture f;
        f.addPage(peer.url("/known"));
        QCOMPARE(f.runCycle(), QStringList());
        // The page now answers without the fields; its address changes in place, values kept.
        f.m().pages.setAddress(0, peer.url("/bare"));
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("5120"));
        QCOMPARE(f.m().pages.value(PageRecords::Signature, 0), QString("\"v1\""));
        QCOMPARE(f.m().pages.value(PageRecords::Date, 0), QString("Sun 06 Dec 1998 10:00:00 GMT"));
    }

    // A server that is down, or one that never lets go, raises "Connection Failed".
    void connectionFailedRow_data() {
        QTest::addColumn<QJsonObject>("server"); // empty: nobody listens on the port
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("requests");
        QTest::newRow("refused") << QJsonObject() << "connection refused" << 0;
        QTest::newRow("closed before a reply")
            << QJsonObject{{"mode", "raw"}, {"greeting", ""}, {"close", true}}
            << "connection closed before a reply" << 1;
        QTest::newRow("redirect loop")
            << ScriptedPeer::routes(
                   {{"*", ScriptedPeer::reply("HTTP/1.0 302 Found\r\nLocation: /loop\r\n\r\n")}})
            << "too many redirects" << 21;
    }

    void connectionFailedRow() {
        QFETCH(QJsonObject, server);
        QFETCH(QString, reason);
        QFETCH(int, requests);
        ScriptedPeer peer(server);
        QVERIFY(server.isEmpty() || peer.start());
        const QString url = server.isEmpty() ? QString("http://127.0.0.1:%1/").arg(PeerProcess::freePort())
                                             : peer.url("/loop");
        MonitorFixture f;
        f.addPage(url);
        StatusTexts bar(f.m().statusLine);
        QCOMPARE(f.runCycle(), QStringList{"Connection failed: " + reason + ": " + url});
        QCOMPARE(f.m().checkState.ErrorText, "Connection failed: " + reason);
        QVERIFY(bar.texts().contains(url + " Connection Failed"));
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        QCOMPARE(f.tray(), 6);
        if (!server.isEmpty())
            QTRY_COMPARE(peer.requests().size(), requests);
    }

    // https pages through the cycle: a trusted one, and a self-signed one that passes only while
    // "Accept untrusted certificates" is ticked.
    void certificatesOfHttpsPages() {
        TestAuthority authority;
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        authority.trustInThisProcess();
        const TestAuthority::Issued issued = authority.issue({"DNS:localhost"});
        const TestAuthority::Issued own = authority.selfSigned({"DNS:localhost"});
        NginxPeer trusted, selfSigned;
        for (auto [server, certificate] : {std::pair{&trusted, issued}, std::pair{&selfSigned, own}}) {
            server->addFile("index.html", "<html>secure</html>");
            QVERIFY2(server->startSecure(certificate.certificate, certificate.key),
                     qPrintable(server->output()));
        }
        const QString good = QString("https://localhost:%1/index.html").arg(trusted.port());
        const QString bad = QString("https://localhost:%1/index.html").arg(selfSigned.port());
        MonitorFixture f;
        f.addPage(good);
        f.addPage(bad);
        const QStringList lines = f.runCycle();
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.m().pages.value(PageRecords::Size, 0), QString("19"));
        QCOMPARE(f.status(1), PageStatus::RedAlarm);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith("Connection failed: certificate not trusted (") &&
                     lines[0].endsWith("): " + bad),
                 qPrintable(lines[0]));

        f.settings().setTick("CheckBoxAcceptUntrusted", true);
        QCOMPARE(f.runCycle(), QStringList{"Recovered: " + bad});
        QCOMPARE(f.status(1), PageStatus::Ok);

        // Through a proxy, plain pages go by it and https ones through its tunnel; a proxy that
        // will not tunnel fails the https page.
        TinyproxyPeer proxy;
        ScriptedPeer refusing(
            QJsonObject{{"mode", "raw"}, {"replies", QJsonArray{"HTTP/1.0 403 Filtered\r\n\r\n"}}});
        QVERIFY2(proxy.start() && refusing.start(), qPrintable(proxy.output()));
        f.m().pages.deletePage(1);
        f.addPage(nginx.url("index.html"));
        f.settings().setTick("CheckBoxProxy", true);
        f.settings().setText("EditProxyHost", "127.0.0.1");
        f.settings().setText("EditProxyPort", QString::number(proxy.port()));
        QCOMPARE(f.runCycle(), QStringList());
        QCOMPARE(f.status(0), PageStatus::Ok);
        QCOMPARE(f.status(1), PageStatus::Ok);
        f.m().pages.deletePage(1);
        f.settings().setText("EditProxyPort", QString::number(refusing.port()));
        QCOMPARE(f.runCycle(), QStringList{"Connection failed: connection refused: " + good});
    }
};

KORVANE_ENGINE_TEST_MAIN(TestCycleRun)
#include "test_cycle_run.moc"
