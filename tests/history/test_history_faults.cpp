// The history through the faults of a file that other programs open too: held, damaged,
// unreadable. Nothing handed over is lost while it can be kept, and the user hears why once.
#include "app/HistoryChart.h"
#include "history/HistoryReader.h"
#include "history/HistorySchema.h"
#include "history/HistoryStore.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/LogView.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {
constexpr int WaitMs = 30000;

// Another program's connection to the history file, as a database browser holds it.
struct OtherProgram {
    explicit OtherProgram(const QString& path) : db_(QSqlDatabase::addDatabase("QSQLITE", "other")) {
        db_.setDatabaseName(path);
        db_.open();
    }
    ~OtherProgram() {
        db_.close();
        db_ = {};
        QSqlDatabase::removeDatabase("other");
    }
    // The first field of each row, or the error.
    QStringList run(const QString& statement) {
        QSqlQuery query(db_);
        if (!query.exec(statement))
            return {query.lastError().text()};
        QStringList rows;
        while (query.next())
            rows << query.value(0).toString();
        return rows;
    }
    QSqlDatabase db_;
};

bool open(HistoryStore& store) {
    store.open();
    return QTest::qWaitFor([&] { return !store.opening(); }, WaitMs);
}

// A cycle of checks of one page, a millisecond apart from atMs on, each leaving the page at mark.
void cycle(HistoryStore& store, const QString& address, qint64 atMs, int checks = 1, PageMark mark = {}) {
    store.cycleStarted();
    for (int i = 0; i < checks; ++i) {
        CheckRecord check;
        check.timeMs = atMs + i;
        check.address = address;
        check.outcome = "No Error";
        check.mark = mark;
        store.record(check);
    }
    store.cycleEnded(2);
}
} // namespace

class TestHistoryFaults : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        path_ = dir_->filePath("KV.history.sqlite");
        heard_.clear();
        // Recent enough that the fold keeps every single check.
        at_ = QDateTime::currentMSecsSinceEpoch() - 3600000;
    }

    // A database browser holds the file through two cycles, longer than a write waits: both are
    // kept, the user hears once why, and the next cycle writes all three.
    void heldThroughCycles() {
        HistoryStore store(path_, listener());
        QSignalSpy keptAgain(&store, &HistoryStore::keptAgain);
        QVERIFY(open(store));
        {
            OtherProgram browser(path_);
            QCOMPARE(browser.run("BEGIN EXCLUSIVE"), QStringList());
            cycle(store, "http://a.test/", at_);
            cycle(store, "http://b.test/", at_ + 1000);
            store.flush();
        }
        cycle(store, "http://c.test/", at_ + 2000);
        QVERIFY(keptAgain.wait(WaitMs));
        QCOMPARE(heard_, QStringList{"database is locked Unable to fetch row"});
        QCOMPARE(OtherProgram(path_).run("SELECT address FROM checks JOIN pages ON id = page"),
                 QStringList({"http://a.test/", "http://b.test/", "http://c.test/"}));
    }

    // While the file refuses every check, at most so many cycles and checks wait in memory, the
    // oldest going first; the page they name is still there when they are written.
    void keptCyclesAreBounded_data() {
        QTest::addColumn<int>("checksPerCycle");
        QTest::addColumn<int>("refused");
        QTest::addColumn<int>("written");
        QTest::newRow("cycles") << 1 << HistoryBacklog::MaxCycles + 2 << HistoryBacklog::MaxCycles;
        QTest::newRow("checks") << int(HistoryBacklog::MaxChecks / 2) << 3 << 2;
    }
    void keptCyclesAreBounded() {
        QFETCH(int, checksPerCycle);
        QFETCH(int, refused);
        QFETCH(int, written);
        HistoryStore store(path_, listener());
        QSignalSpy keptAgain(&store, &HistoryStore::keptAgain);
        QVERIFY(open(store));
        OtherProgram other(path_);
        other.run("CREATE TRIGGER refuse BEFORE INSERT ON checks BEGIN SELECT RAISE(ABORT, 'refused'); END");
        const auto page = [](int cycle) { return QString("http://a.test/%1").arg(cycle, 2, 10, QChar('0')); };
        for (int i = 0; i < refused; ++i)
            cycle(store, page(i), at_ + i, checksPerCycle);
        store.flush();
        other.run("DROP TRIGGER refuse");
        cycle(store, page(refused), at_ + refused, checksPerCycle);
        QVERIFY(keptAgain.wait(WaitMs));
        QCOMPARE(heard_, QStringList{"refused Unable to fetch row"});
        QCOMPARE(
            other.run("SELECT printf('%s %d %d', min(address), count(DISTINCT page), count(*)) FROM checks "
                      "JOIN pages ON id = page"),
            QStringList{page(refused + 1 - written) +
                        QString(" %1 %2").arg(written).arg(written * checksPerCycle)});
    }

    // Where the pages stood outlives a start that cannot read it: that run keeps no history
    // rather than write over it. A page checked while the file opens keeps that check's mark, and
    // the check is written once the file is open.
    void marksAtOpen() {
        {
            HistoryStore store(path_, {});
            QVERIFY(open(store));
            cycle(store, "http://a.test/", at_, 1, PageMark{5, 3, true});
            cycle(store, "http://b.test/", at_, 1, PageMark{4, 2, true});
        }
        OtherProgram other(path_);
        other.run("ALTER TABLE marks RENAME COLUMN failed_checks TO failures");
        {
            HistoryStore store(path_, listener());
            QVERIFY(open(store));
            cycle(store, "http://a.test/", at_ + 1000, 1, PageMark{3, 0, false});
        }
        QVERIFY2(heard_.join('\n').startsWith(
                     "where the pages stood cannot be read: no such column: failed_checks"),
                 qPrintable(heard_.join('\n')));
        other.run("ALTER TABLE marks RENAME COLUMN failures TO failed_checks");
        QCOMPARE(other.run("SELECT printf('%d %d %d', status, failed_checks, alarmed) FROM marks"),
                 QStringList({"5 3 1", "4 2 1"}));
        HistoryStore store(path_, {});
        QSignalSpy opened(&store, &HistoryStore::openFinished);
        store.open();
        cycle(store, "http://a.test/", at_ + 2000, 1, PageMark{3, 0, false});
        QVERIFY(opened.wait(WaitMs));
        QCOMPARE((opened[0][0].value<QHash<QString, PageMark>>().keys()), QStringList{"http://b.test/"});
        store.flush();
        QCOMPARE(other.run("SELECT count(*) FROM checks"), QStringList{"3"});
    }

    // A damaged file goes aside with its journals or not at all, and no new file is begun beside
    // a journal: the history is off, with the reason, and every file stays as it was.
    void journalsStayWithTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("files"); // "" for the file itself, else a journal
        QTest::addColumn<QString>("folder");    // a journal that is a folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("-shm a folder") << "KV.history.sqlite" << QStringList{""} << "-shm"
                                       << "-shm is not a file";
        // The file goes aside, its journal's new name is too long, and the file comes back. (An
        // empty -wal SQLite removes itself as it closes the damaged file.)
        QTest::newRow("journal that cannot move") << QString(229, 'h') << QStringList{"", "-shm"} << ""
                                                  << "is damaged and cannot be moved aside: ";
        QTest::newRow("journal without its file") << "KV.history.sqlite" << QStringList{"-wal"} << ""
                                                  << "KV.history.sqlite is missing but its journal";
    }
    void journalsStayWithTheFile() {
        QFETCH(QString, name);
        QFETCH(QStringList, files);
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        const QString path = dir_->filePath(name);
        const QByteArray junk(4096, 'x');
        for (const QString& suffix : files) {
            QFile out(path + suffix);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(junk) == junk.size());
        }
        QVERIFY(folder.isEmpty() || QDir(dir_->path()).mkdir(name + folder));
        const QStringList before = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        {
            HistoryStore store(path, listener());
            QVERIFY(open(store));
        }
        QVERIFY2(heard_.size() == 1 && heard_[0].contains(reason), qPrintable(heard_.join('\n')));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QFile left(path + files[0]);
        QVERIFY(left.open(QIODevice::ReadOnly) && left.readAll() == junk);
    }

    // A history younger than the range is shown from its start, and an older one fills the range.
    void seriesStartsWithTheHistory() {
        using namespace HistorySchema;
        const qint64 start = at_ - 2 * HourMs;
        HistoryStore store(path_, {});
        store.setClock([start] { return start; });
        QVERIFY(open(store));
        store.programStarted();
        cycle(store, "http://a.test/", at_);
        store.flush();
        HistoryReader reader(path_);
        QCOMPARE(reader.open(), QString());
        for (const auto& [ms, from] :
             {std::pair{DayMs, start}, {365 * DayMs, start}, {HourMs, at_ - HourMs}}) {
            HistorySeries series;
            QCOMPARE(readSeries(reader.database(), "http://a.test/", at_ - ms, at_, series), QString());
            QCOMPARE(series.fromMs, from);
            QVERIFY(series.notMonitored.isEmpty() && series.points.constFirst().timeMs >= from);
        }
    }

    // A History tab that cannot read the file says why, there and once in the log, and shows
    // nothing rather than half a page.
    void unreadableOnTheTab() {
        WindowFixture f;
        TFormMainWindow& w = f.start();
        w.pages.addPage("http://a.test/", false, false, false);
        OtherProgram(w.history().path()).run("DROP TABLE outages");
        const HistoryTab& tab = w.historyTab;
        w.PageControl1->setCurrentWidget(tab.TabSheetHistory);
        QCOMPARE(tab.LabelHistoryState->text(), "Loading\u2026");
        const QString why = "Cannot read the history: no such table: outages";
        QTRY_VERIFY(tab.LabelHistoryState->text().startsWith(why));
        QTest::keyClick(tab.ButtonsRange[1], Qt::Key_Space);
        QTRY_VERIFY(tab.LabelHistoryState->text().startsWith(why));
        QVERIFY(tab.ChartHistory->series().notMonitored.isEmpty());
        w.logTab.Log->flush();
        QCOMPARE(w.logTab.Log->toPlainText().count(why), 1);
        f.close();
    }

private:
    HistoryStore::NotKept listener() {
        return [this](const QString& why) { heard_ << why; };
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    QStringList heard_; // why the store said no history is kept
    qint64 at_ = 0;
};

KORVANE_TEST_MAIN(TestHistoryFaults)
#include "test_history_faults.moc"
