// The history of the checks: kept through the real window, read back by the real program.
#include "check/CheckFixture.h"
#include "history/HistoryFile.h"
#include "history/HistoryStore.h"
#include "support/TestMain.h"
#include "support/net/NginxPeer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void fileNames_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("history");
        QTest::newRow("KV.ini") << "/a/KV.ini" << "/a/KV.history.sqlite";
        QTest::newRow("other extension") << "/a/b/watch.conf" << "/a/b/watch.history.sqlite";
        QTest::newRow("two dots") << "/a/site.test.ini" << "/a/site.test.history.sqlite";
        QTest::newRow("no extension") << "/a/settings" << "/a/settings.history.sqlite";
    }
    void fileNames() {
        QFETCH(QString, settings);
        QFETCH(QString, history);
        QCOMPARE(historyFileFor(settings), history);
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
        f.close();

        QProcess korvane;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        korvane.setProcessEnvironment(env);
        korvane.start(KORVANE_PROGRAM, {"--settings", f.settingsPath(), "--export-history", "-"});
        QVERIFY(korvane.waitForFinished(30000));
        QCOMPARE(korvane.exitCode(), 0);
        const QByteArray csv = korvane.readAllStandardOutput();
        QVERIFY2(!csv.contains("secret"), csv);
        QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.takeFirst(), "time,address,outcome,code,ms,lookup_ms,connect_ms,tls_ms,first_byte_ms,error\r");
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

        korvane.start(KORVANE_PROGRAM, {"--settings", QDir(f.folder()).filePath("none.ini"), "--export-history", "-"});
        QVERIFY(korvane.waitForFinished(30000));
        QCOMPARE(korvane.exitCode(), 1);
        QVERIFY(korvane.readAllStandardError().startsWith("Cannot export the history: there is no history at "));
    }

    // A file that cannot be used leaves the program running without history; a damaged one is
    // set aside, untouched, and a new one begun.
    void unusableFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("reason");
        QTest::newRow("damaged") << QByteArray(4096, 'x') << true << "";
        QTest::newRow("newer") << QByteArray("newer") << false << "written by a newer Korvane";
        QTest::newRow("in no folder") << QByteArray() << false << "unable to open database file";
    }
    void unusableFiles() {
        QFETCH(QByteArray, content);
        QFETCH(bool, kept);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = dir.filePath("KV.history.sqlite");
        if (content == "newer") {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery(db).exec("PRAGMA user_version = 99");
            db.close();
        } else if (content.isEmpty()) {
            path = dir.filePath("gone/KV.history.sqlite");
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QSqlDatabase::removeDatabase("newer");
        QStringList heard;
        HistoryStore store(path, [&](const QString& why) { heard << why; });
        store.open();
        store.programStarted();
        QCOMPARE(store.kept(), kept);
        QCOMPARE(heard.size(), kept ? 0 : 1);
        if (!kept)
            QVERIFY2(heard[0].contains(reason), qPrintable(heard[0]));
        const QStringList aside = QDir(dir.path()).entryList({"KV.history.sqlite.corrupt-*"});
        QCOMPARE(aside.size(), content.size() == 4096 ? 1 : 0);
    }
};

KORVANE_TEST_MAIN(TestHistory)
#include "test_history.moc"
