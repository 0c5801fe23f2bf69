// The activity log's lines and its bound.
#include "notify/ActivityLog.h"

#include "views/LogView.h"
#include <QDateTime>
#include <QRegularExpression>
#include <QTest>

class TestActivityLog : public QObject {
    Q_OBJECT
private slots:
    void timeStampFormat() {
        QCOMPARE(ActivityLog::timeStamp(QDateTime(QDate(1998, 12, 6), QTime(9, 5, 3))),
                 QString("1998.12.06 09:05:03"));
        QCOMPARE(ActivityLog::timeStamp(QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59))),
                 QString("2026.01.02 23:59:59"));
    }

    void linesAreStampedAndAnEmptyMessageStillAddsOne() {
        LogView edit;
        edit.setPlainText("Korvane Log");
        ActivityLog log;
        edit.follow(log);
        log.AddLogLine("Checked Sucessfully: http://a/ (0)seconds");
        log.AddLogLine("");
        // The lines reach the view together, on the next turn of the event loop.
        QCOMPARE(edit.toPlainText(), QString("Korvane Log"));
        QTRY_COMPARE(edit.document()->blockCount(), 3);
        const QStringList lines = edit.toPlainText().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(QRegularExpression(
                    R"(^\[\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\] Checked Sucessfully: http://a/ \(0\)seconds$)")
                    .match(lines[1])
                    .hasMatch());
        QVERIFY(QRegularExpression(R"(^\[[^\]]+\] $)").match(lines[2]).hasMatch());
    }

    // However the lines arrive between two turns of the event loop, the view ends with the title
    // and the newest 300.
    void keepsTheTitleAndTheNewest300_data() {
        QTest::addColumn<QList<int>>("batches");
        QTest::newRow("one at a time") << QList<int>(302, 1);
        QTest::newRow("300 then 2") << QList<int>{300, 2};
        QTest::newRow("all at once") << QList<int>{302};
        QTest::newRow("beyond the bound at once") << QList<int>{10, 500};
    }
    void keepsTheTitleAndTheNewest300() {
        QFETCH(QList<int>, batches);
        LogView edit;
        edit.setPlainText("Korvane Log");
        ActivityLog log;
        edit.follow(log);
        int added = 0;
        for (int batch : batches) {
            for (int i = 0; i < batch; ++i)
                log.AddLogLine(QString("entry %1").arg(++added));
            edit.flush();
        }
        const QStringList lines = edit.toPlainText().split('\n');
        QCOMPARE(lines.size(), 301);
        QCOMPARE(lines[0], QString("Korvane Log"));
        QVERIFY(lines[1].endsWith(QString("] entry %1").arg(added - 299)));
        QVERIFY(lines[300].endsWith(QString("] entry %1").arg(added)));
    }
};

QTEST_MAIN(TestActivityLog)
#include "test_activity_log.moc"
