// The activity log's lines and its bound.
#include "views/ActivityLog.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

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
        QTextEdit edit;
        edit.setPlainText("Korvane Log");
        ActivityLog log(&edit);
        log.AddLogLine("Checked Sucessfully: http://a/ (0)seconds");
        log.AddLogLine("");
        const QStringList lines = edit.toPlainText().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(QRegularExpression(
                    R"(^\[\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\] Checked Sucessfully: http://a/ \(0\)seconds$)")
                    .match(lines[1])
                    .hasMatch());
        QVERIFY(QRegularExpression(R"(^\[[^\]]+\] $)").match(lines[2]).hasMatch());
    }

    void keepsTheTitleAndTheNewest300() {
        QTextEdit edit;
        edit.setPlainText("Korvane Log");
        ActivityLog log(&edit);
        for (int i = 1; i <= 300; ++i)
            log.AddLogLine(QString("entry %1").arg(i));
        QCOMPARE(edit.document()->blockCount(), 301);
        log.AddLogLine("entry 301");
        log.AddLogLine("entry 302");
        const QStringList lines = edit.toPlainText().split('\n');
        QCOMPARE(lines.size(), 301);
        QCOMPARE(lines[0], QString("Korvane Log"));
        QVERIFY(lines[1].endsWith("] entry 3"));
        QVERIFY(lines[300].endsWith("] entry 302"));
    }
};

QTEST_MAIN(TestActivityLog)
#include "test_activity_log.moc"
