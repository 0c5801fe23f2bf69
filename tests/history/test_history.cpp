// The history of the checks: kept through the real window, read back by the real program.
#include "app/HistoryChart.h"
#include "check/CheckFixture.h"
#include "history/HistoryExport.h"
#include "history/HistoryFile.h"
#include "history/HistoryStore.h"
#include "support/Headless.h"
#include "support/TestMain.h"
#include "support/net/NginxPeer.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void fileNames_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("history");
        QTest::newRow("KV.ini") << "/a/KV.ini"
                                << "/a/KV.history.sqlite";
        QTest::newRow("other extension") << "/a/b/watch.conf"
                                         << "/a/b/watch.history.sqlite";
        QTest::newRow("two dots") << "/a/site.test.ini"
                                  << "/a/site.test.history.sqlite";
        QTest::newRow("no extension") << "/a/settings"
                                      << "/a/settings.history.sqlite";
    }
    void fileNames() {
        QFETCH(QString, settings);
        QFETCH(QString, history);
        QCOMPARE(historyFileFor(settings), history);
    }

    // The time axis of a 600-pixel chart (536 pixels, 8-pixel digits) to 14 May 2025, 11:49.
    void timeAxis_data() {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("labels");
        QTest::newRow("24 h") << 1440 << "12:00 15:00 18:00 21:00 00:00 03:00 06:00 09:00";
        QTest::newRow("7 d") << 7 * 1440 << "08.05 09.05 10.05 11.05 12.05 13.05 14.05";
        QTest::newRow("30 d") << 30 * 1440 << "18.04 22.04 26.04 30.04 04.05 08.05 12.05";
        QTest::newRow("1 y") << 365 * 1440 << "Jun Jul Aug Sep Oct Nov Dec Jan Feb Mar Apr May";
        QTest::newRow("2 h 10 min") << 130 << "09:45 10:00 10:15 10:30 10:45 11:00 11:15 11:30 11:45";
    }
    void timeAxis() {
        QFETCH(int, minutes);
        QFETCH(QString, labels);
        const QDateTime to(QDate(2025, 5, 14), QTime(11, 49));
        const AxisTicks ticks = axisTicks(to.addSecs(-60 * minutes), to, 536, 8);
        QStringList shown;
        for (const QDateTime& tick : ticks.times)
            shown << tick.toString(ticks.format);
        QCOMPARE(shown.join(' '), labels);
    }

    // Three pages, one of them missing, and one listed with a password; two cycles. Then the
    // program exports them without a window.
    void twoCyclesAreExported() {
        NginxPeer nginx;
        nginx.addFile("a.html", "a");
        nginx.addFile("b.html", "b");
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
        CheckFixture f;
        const QStringList pages{nginx.url("a.html"), nginx.url("missing.html"), nginx.url("b.html")};
        for (const QString& page : pages)
            f.addPage(page);
        f.addPage(nginx.url("a.html").replace("http://", "http://user:secret@"));
        f.runCycle();
        f.runCycle();
        f.w().history().flush();
        viewedOnTheHistoryTab(f);
        f.close();

        QProcess korvane;
        runHeadless(korvane);
        korvane.start(KORVANE_PROGRAM, {"--settings", f.settingsPath(), "--export-history", "-"});
        QVERIFY(korvane.waitForFinished(30000));
        QCOMPARE(korvane.exitCode(), 0);
        const QByteArray csv = korvane.readAllStandardOutput();
        QVERIFY2(!csv.contains("secret"), csv);
        QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.takeFirst(),
                 "time,address,outcome,code,ms,lookup_ms,connect_ms,tls_ms,first_byte_ms,error\r");
        QCOMPARE(lines.takeLast(), "");
        QCOMPARE(lines.size(), 8);
        for (int i = 0; i < 8; ++i) {
            const QList<QByteArray> fields = lines[i].chopped(1).split(',');
            QVERIFY2(QDateTime::fromString(fields[0], Qt::ISODateWithMs).isValid(), fields[0]);
            QVERIFY(i == 0 || fields[0] >= lines[i - 1].left(24));
            if (i % 4 == 3) {
                QVERIFY2(fields[1].startsWith("http://user@127.0.0.1:"), fields[1]);
                continue;
            }
            QCOMPARE(fields.size(), 10);
            const bool down = i % 4 == 1;
            QCOMPARE(fields[1], pages[i % 4]);
            QCOMPARE(fields[2], down ? "Page Not Found" : "No Error");
            QCOMPARE(fields[3], down ? "404" : "200");
            QCOMPARE(fields[9].isEmpty(), !down);
            // An address needs no lookup and plain http no TLS; connecting and the answer took time.
            QCOMPARE(fields[5] + fields[7], "");
            QVERIFY(!fields[6].isEmpty() && !fields[8].isEmpty());
        }

        korvane.start(KORVANE_PROGRAM,
                      {"--settings", QDir(f.folder()).filePath("none.ini"), "--export-history", "-"});
        QVERIFY(korvane.waitForFinished(30000));
        QCOMPARE(korvane.exitCode(), 1);
        QVERIFY(
            korvane.readAllStandardError().startsWith("Cannot export the history: there is no history at "));
    }

    // A restart forgets nothing: the failure count goes on, a page red before it recovers after
    // it, and the grid's uptime counts the checks of both runs.
    void restartCarriesOn() {
        NginxPeer nginx;
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
        CheckFixture f;
        f.muteSounds();
        f.w().connection.EditFailCount->setText("2");
        const QString page = nginx.url("later.html");
        f.addPage(page);
        QCOMPARE(f.runCycle().filter("Failed check"), QStringList{"Failed check 1 of 2: " + page});
        f.restart();
        QCOMPARE(f.status(0), PageStatus::Failed);
        QCOMPARE(f.runCycle().filter("Failed check"), QStringList());
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        f.restart();
        QCOMPARE(f.status(0), PageStatus::RedAlarm);
        nginx.addFile("later.html", "here now");
        QVERIFY(f.runCycle().contains("Recovered: " + page));
        QTRY_COMPARE(qRound(f.w().history().uptime(page).day.value_or(-1) * 10), 333);
        QCOMPARE(f.w().history().uptime(nginx.url("other.html")).month, std::nullopt);
    }

    // A file that cannot be used leaves the program running without history; a damaged one is
    // set aside, untouched, and a new one begun; one of the first version is brought up to date
    // with its checks.
    void unusableFiles_data() {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("damaged") << QStringList() << QByteArray(4096, 'x') << "";
        QTest::newRow("newer") << QStringList{"PRAGMA user_version = 99"} << QByteArray()
                               << "written by a newer Korvane";
        QTest::newRow("in no folder") << QStringList() << QByteArray() << "unable to open database file";
        QTest::newRow("locked by another program")
            << QStringList{"BEGIN EXCLUSIVE", "CREATE TABLE t (x)"} << QByteArray() << "database is locked";
        QTest::newRow("first version")
            << QStringList{"CREATE TABLE checks (time_ms INTEGER NOT NULL, address TEXT NOT NULL, outcome "
                           "TEXT NOT NULL,"
                           " code INTEGER NOT NULL, ms INTEGER NOT NULL, lookup_ms INTEGER, connect_ms "
                           "INTEGER,"
                           " tls_ms INTEGER, first_byte_ms INTEGER, error TEXT NOT NULL)",
                           "CREATE TABLE events (time_ms INTEGER NOT NULL, kind TEXT NOT NULL)",
                           "INSERT INTO checks VALUES (1765000000000, 'http://a.test/', 'Page Not Found', "
                           "404, 12,"
                           " NULL, 3, NULL, 9, 'Page not found: ')",
                           "PRAGMA user_version = 1"}
            << QByteArray() << "";
        QFile secondVersion(QFINDTESTDATA("history-v2.sql"));
        QVERIFY(secondVersion.open(QIODevice::ReadOnly));
        QTest::newRow("second version")
            << QString(secondVersion.readAll()).split(";\n", Qt::SkipEmptyParts) << QByteArray() << "";
    }
    void unusableFiles() {
        QFETCH(QStringList, statements);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path =
            dir.filePath(QTest::currentDataTag() == QByteArray("in no folder") ? "gone/KV.history.sqlite"
                                                                               : "KV.history.sqlite");
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QStringList heard;
        {
            // Held open while the monitor opens the file, as another program would.
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(path);
            QVERIFY(statements.isEmpty() || other.open());
            for (const QString& statement : statements)
                QVERIFY2(QSqlQuery(other).exec(statement), qPrintable(statement));
            HistoryStore store(path, [&](const QString& why) { heard << why; });
            store.open();
            store.programStarted();
            QTRY_VERIFY_WITH_TIMEOUT(!store.opening(), 30000);
            QCOMPARE(store.kept(), reason.isEmpty());
            other.close();
        }
        QSqlDatabase::removeDatabase("other");
        QCOMPARE(heard.size(), reason.isEmpty() ? 0 : 1);
        if (!reason.isEmpty())
            QVERIFY2(heard[0].contains(reason), qPrintable(heard[0]));
        const QStringList aside = QDir(dir.path()).entryList({"KV.history.sqlite.corrupt-*"});
        QCOMPARE(aside.size(), content.isEmpty() ? 0 : 1);
        if (QByteArray(QTest::currentDataTag()).endsWith(" version")) {
            QCOMPARE(csv(path).mid(1),
                     QList<QByteArray>{"2025-12-06T05:46:40.000Z,http://a.test/,Page Not Found,404,12,,3,,9,"
                                       "Page not found: "});
            QCOMPARE(csv(path, ExportRows::Hourly).mid(1),
                     QList<QByteArray>{"2025-12-06T05:00:00.000Z,http://a.test/,1,0,1,12,12,12"});
        }
    }

    // The real window on a damaged file and on one another program holds: it starts, says once
    // why it keeps no history where it cannot, and checks on.
    void unusableFileThroughTheWindow_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("damaged") << false;
        QTest::newRow("locked") << true;
    }
    void unusableFileThroughTheWindow() {
        QFETCH(bool, locked);
        WindowFixture f;
        const QString path = QDir(f.folder()).filePath("KV.history.sqlite");
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path);
        if (locked) {
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec("BEGIN EXCLUSIVE") && QSqlQuery(other).exec("CREATE TABLE t (x)"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) == 4096);
        }
        TFormMainWindow& w = f.start();
        w.logTab.Log->flush();
        const QStringList notKept = w.logTab.Log->toPlainText().split('\n').filter("History not kept: ");
        QCOMPARE(notKept.size(), locked ? 1 : 0);
        const QStringList setAside =
            w.logTab.Log->toPlainText().split('\n').filter("History damaged: set aside as " + path + ".corrupt-");
        QCOMPARE(setAside.size(), locked ? 0 : 1);
        QCOMPARE(w.history().kept(), !locked);
        QCOMPARE(QDir(f.folder()).entryList({"KV.history.sqlite.corrupt-*"}).size(), locked ? 0 : 1);
        w.checkCycle().network().useState(std::make_unique<FakeNetworkState>());
        w.pages.addPage("http://host.invalid/", false, false, false);
        w.checkCycle().CheckWebPagesExecute();
        QTRY_COMPARE(w.pages.readStatus(0), PageStatus::RedAlarm);
        f.close();
        other.close();
        other = {};
        QSqlDatabase::removeDatabase("other");
    }

    // Single checks past their days go; the sums of their hour stay.
    void foldKeepsTheSums() {
        QTemporaryDir dir;
        const QString path = dir.filePath("KV.history.sqlite");
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const qint64 hour = (now / 3600000 - 72) * 3600000;
        {
            HistoryStore store(path, {});
            store.open();
            store.cycleStarted();
            for (const auto& [at, ms, up] :
                 {std::tuple{hour + 1000, 100, true}, std::tuple{hour + 2000, 300, false},
                  std::tuple{now - 1000, 50, true}}) {
                CheckRecord check;
                check.timeMs = at;
                check.address = "http://a.test/";
                check.outcome = up ? "No Error" : "Time Out";
                check.ms = ms;
                check.up = up;
                store.record(check);
            }
            store.cycleEnded(2);
        }
        const QList<QByteArray> checks = csv(path);
        QCOMPARE(checks.size(), 2);
        QVERIFY(checks[1].endsWith(",http://a.test/,No Error,0,50,,,,,"));
        const QList<QByteArray> hours = csv(path, ExportRows::Hourly);
        QCOMPARE(hours.size(), 3);
        QCOMPARE(hours[1].mid(24), ",http://a.test/,2,1,1,100,200,300");
        QCOMPARE(hours[2].mid(24), ",http://a.test/,1,1,0,50,50,50");
    }

    // Maintenance counts neither way, other holds as usual; from single checks, hours and days alike.
    void uptimeLeavesMaintenanceOut_data() {
        QTest::addColumn<QStringList>("checks"); // up (+) or down (-), and why it was held
        QTest::addColumn<double>("percent");
        QTest::newRow("maintenance") << QStringList{"+", "-maintenance", "+maintenance", "+"} << 100.0;
        QTest::newRow("held") << QStringList{"+", "-paused", "-dependency", "+"} << 50.0;
    }
    void uptimeLeavesMaintenanceOut() {
        QFETCH(QStringList, checks);
        QFETCH(double, percent);
        QTemporaryDir dir;
        HistoryStore store(dir.filePath("KV.history.sqlite"), {});
        const qint64 now = QDateTime::currentMSecsSinceEpoch() / 86400000 * 86400000 + 45000000; // 12:30
        store.setClock([now] { return now; });
        store.open();
        store.cycleStarted();
        CheckRecord check;
        check.address = "http://a.test/";
        check.outcome = "No Error";
        for (const qint64 at : {now - 86399000, now - 79200000, now - 3600000})
            for (const QString& kind : checks) {
                check.timeMs = at;
                check.up = kind.startsWith('+');
                check.held = kind.mid(1);
                store.record(check);
            }
        store.cycleEnded(2);
        QTRY_COMPARE(store.uptime(check.address).day.value_or(-1), percent);
        QCOMPARE(store.uptime(check.address).month.value_or(-1), percent);
    }

private:
    // The missing page on the History tab, driven from the keyboard, then the export button.
    static void viewedOnTheHistoryTab(CheckFixture& f) {
        HistoryTab& tab = f.w().historyTab;
        f.w().PageControl1->setCurrentWidget(tab.TabSheetHistory);
        QCOMPARE(tab.ComboHistoryPage->count(), 4);
        QVERIFY(!tab.ComboHistoryPage->itemText(3).contains("secret"));
        QTest::keyClick(tab.ComboHistoryPage, Qt::Key_Down);
        QCOMPARE(tab.ComboHistoryPage->currentIndex(), 1);
        QTRY_COMPARE(tab.LabelHistoryState->text(), "");
        const HistorySeries& series = tab.ChartHistory->series();
        QCOMPARE(series.stepMs, 0);
        QCOMPARE(series.points.size(), 2);
        QVERIFY(!series.points[0].up && !series.points[1].up);
        QCOMPARE(tab.TableOutages->rowCount(), 1);
        QCOMPARE(tab.TableOutages->item(0, 1)->text(), "still down");
        QCOMPARE(tab.TableOutages->horizontalHeaderItem(3)->text(), "Reason");
        QTest::keyClick(tab.ButtonsRange[1], Qt::Key_Space);
        QTRY_COMPARE(tab.LabelHistoryState->text(), "");
        QCOMPARE(tab.ChartHistory->series().stepMs, 3600000);
        QVERIFY(!tab.ChartHistory->series().points.constLast().up);

        const QString file = QDir(f.folder()).filePath("export.csv");
        testDialogs().saveFileAnswers << file;
        QTest::keyClick(tab.ButtonExportHistory, Qt::Key_Space);
        QTRY_VERIFY(f.logLines().contains("History exported to " + file));
        QFile exported(file);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll().count('\n'), 9);
    }

    static QList<QByteArray> csv(const QString& path, ExportRows rows = ExportRows::Checks) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        const QString failure = exportHistory(path, out, std::nullopt, rows);
        if (!failure.isEmpty())
            return {failure.toUtf8()};
        QList<QByteArray> lines = out.data().split('\n');
        lines.removeLast();
        for (QByteArray& line : lines)
            line.chop(1);
        return lines;
    }
};

KORVANE_TEST_MAIN(TestHistory)
#include "test_history.moc"
