// Maintenance windows: when one is open, what a window in a page list file may say, and how the
// settings file keeps them.
#include "net/IniFile.h"
#include "pages/Duration.h"
#include "pages/MaintenanceFile.h"
#include "pages/MaintenanceJson.h"
#include "support/EngineTestMain.h"

#include <QJsonDocument>

namespace {

// A window from JSON written with apostrophes, to be read in a table.
MaintenanceWindow window(const char* json, QString* problem = nullptr) {
    MaintenanceWindow read;
    const QString wrong =
        MaintenanceJson::read(QJsonDocument::fromJson(QByteArray(json).replace('\'', '"')).object(), read);
    if (problem)
        *problem = wrong;
    return read;
}

} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The machine's zone, for the windows that name none.
        qputenv("TZ", "Europe/Berlin");
    }

    void open_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("nowUtc");
        QTest::addColumn<bool>("open");
        const auto berlin = [](const char* fields) {
            return "{'name': 'n', 'pages': 'all', 'timeZone': 'Europe/Berlin', " + QByteArray(fields) + "}";
        };
        // In the machine's zone, as the window names none.
        const QByteArray once =
            "{'name': 'n', 'pages': 'all', 'start': '2026-12-24T22:00', 'end': '2026-12-24T23:30'}";
        QTest::newRow("one-off, at its start") << once << "2026-12-24T21:00:00Z" << true;
        QTest::newRow("one-off, at its end") << once << "2026-12-24T22:30:00Z" << false;
        // 17:00 to 18:00 UTC; read in Berlin, both would be later.
        const QByteArray zoned = berlin("'start': '2026-12-24T19:00+02:00', 'end': '2026-12-24T23:00+05:00'");
        QTest::newRow("zone in the text") << zoned << "2026-12-24T17:30:00Z" << true;
        QTest::newRow("zone in the text, at its end") << zoned << "2026-12-24T18:00:00Z" << false;
        const QByteArray late = berlin("'every': ['mon', 'Thu'], 'at': '23:00', 'duration': '3h'");
        QTest::newRow("Tuesday 01:30") << late << "2026-01-06T00:30:00Z" << true;
        QTest::newRow("Tuesday 02:00") << late << "2026-01-06T01:00:00Z" << false;
        // 02:30 is skipped on 2026-03-29: read with the offset before, it is 01:30 UTC.
        const QByteArray skipped = berlin("'every': ['Sun'], 'at': '02:30', 'duration': '1h'");
        QTest::newRow("spring, skipped start") << skipped << "2026-03-29T01:30:00Z" << true;
        const QByteArray spring = berlin("'every': ['Sun'], 'at': '01:30', 'duration': '2h'");
        QTest::newRow("spring, 04:15 summer time") << spring << "2026-03-29T02:15:00Z" << true;
        QTest::newRow("spring, two real hours on") << spring << "2026-03-29T02:30:00Z" << false;
        const QByteArray autumn = berlin("'every': ['Sun'], 'at': '01:30', 'duration': '1h'");
        QTest::newRow("autumn, 02:15 summer time") << autumn << "2026-10-25T00:15:00Z" << true;
        QTest::newRow("autumn, 02:45 summer time") << autumn << "2026-10-25T00:45:00Z" << false;
        QTest::newRow("autumn, 02:15 winter time") << autumn << "2026-10-25T01:15:00Z" << false;
    }
    void open() {
        QFETCH(QByteArray, json);
        QFETCH(QString, nowUtc);
        QFETCH(bool, open);
        const MaintenanceWindow read = window(json);
        QCOMPARE(MaintenanceWindows::problem(read), QString());
        QCOMPARE(MaintenanceWindows::open(read, QDateTime::fromString(nowUtc, Qt::ISODate)), open);
    }

    void coversTheListsOwnPage() {
        const MaintenanceWindow some = window("{'pages': ['https://u:pw@Shop.example/A%2cb', 'http://x/']}");
        QVERIFY(MaintenanceWindows::covers(some, "HTTPS://u@shop.example/a%2Cb"));
        QVERIFY(!MaintenanceWindows::covers(some, "https://shop.example/a%2Cb"));
    }

    void readErrors_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* fields, const char* error) {
            QTest::newRow(name) << "{'name': 'n', 'pages': 'all', " + QByteArray(fields) + "}"
                                << QString(error).replace('\'', '"');
        };
        row("unknown key", "'at': '1:00', 'every': ['Sun'], 'duration': '5', 'colour': 1",
            "unknown key 'colour'");
        row("pages", "'pages': 'some'", "pages: not 'all' or a list of addresses");
        row("no start", "'end': '2026-12-24T23:30'", "start: missing");
        row("date alone", "'start': '2026-12-24', 'end': '2026-12-25T00:00'",
            "start: not a time such as 2026-12-24T22:00");
        row("end first", "'start': '2026-12-24T22:00', 'end': '2026-12-24T21:00Z'",
            "end: not after the start");
        row("zone", "'start': '2026-12-24T22:00', 'end': '2026-12-24T23:00', 'timeZone': 'Mars/Base'",
            "timeZone: unknown time zone 'Mars/Base'");
        row("day", "'every': ['Mon', 'Mnd'], 'at': '1:00', 'duration': '1h'",
            "every: 'Mnd' is not a day (Mon to Sun)");
        row("no every", "'at': '23:00', 'duration': '1h'", "every: missing");
        row("at", "'every': ['Mon'], 'at': '24:00', 'duration': '1h'", "at: not a time of day such as 23:00");
        row("duration", "'every': ['Mon'], 'at': '1:00', 'duration': '-1h'",
            "duration: not a length such as 30m, 2h or 1d");
        row("week", "'every': ['Mon'], 'at': '1:00', 'duration': '8d'", "duration: longer than 7 days");
    }
    void readErrors() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        QString problem;
        window(json, &problem);
        QCOMPARE(problem, error);
    }

    void durations_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds"); // 0: no length
        QTest::addColumn<QString>("shortest");
        QTest::newRow("minutes") << "90" << qint64(5400) << "90m";
        QTest::newRow("days") << " 2D " << qint64(172800) << "2d";
        QTest::newRow("seconds") << "45s" << qint64(45) << "45s";
        QTest::newRow("seconds in minutes") << "120s" << qint64(120) << "2m";
        for (const char* wrong : {"", "0", "-5m", "+5m", "1.5h", "5 5m", "1y", "h", "153722867280912931m"})
            QTest::newRow(wrong) << wrong << qint64(0) << "";
    }
    void durations() {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        QFETCH(QString, shortest);
        QCOMPARE(Duration::parseSeconds(text).value_or(0), seconds);
        if (seconds > 0)
            QCOMPARE(Duration::text(seconds), shortest);
    }

    void settingsFileKeepsWindows() {
        const QByteArray before = "[defaults]\nEditURL=http://\n\n[page options]\n1.address=http://a/\n";
        IniFile ini = IniFile::parse(before);
        MaintenanceFile::save(ini, {});
        QCOMPARE(ini.serialize(), before);

        const QList<MaintenanceWindow> windows{
            window("{'name': ' deploy ', 'pages': ['http://b\u00fccher.example/\u00e4 b', 'http://c/'], "
                   "'start': '2026-12-24T22:00', 'end': '2026-12-24T23:30:15+01:00'}"),
            window("{'name': 'backup', 'pages': 'all', 'every': ['Thu', 'Mon'], 'at': '23:00', "
                   "'duration': '90m', 'timeZone': 'Europe/Berlin'}")};
        MaintenanceFile::save(ini, windows);
        const QByteArray text = ini.serialize();
        QVERIFY2(text.contains("[maintenance]\n1.name=\" deploy \"\n"
                               "1.pages=http://b%C3%BCcher.example/%C3%A4%20b http://c/\n"
                               "1.start=2026-12-24T22:00\n1.end=2026-12-24T23:30:15+01:00\n"
                               "2.name=\"backup\"\n2.pages=all\n2.every=Thu,Mon\n2.at=23:00\n"
                               "2.duration=90m\n2.time zone=Europe/Berlin\n"),
                 text);
        QStringList problems;
        QCOMPARE(MaintenanceFile::load(IniFile::parse(text), problems), windows);
        QCOMPARE(problems, QStringList());

        const QByteArray wrong = QByteArray(text).replace("2.time zone=Europe/Berlin", "2.time zone=Berlin");
        QCOMPARE(MaintenanceFile::load(IniFile::parse(wrong), problems), windows.mid(0, 1));
        QCOMPARE(problems, QStringList{"window 2: time zone: unknown time zone \"Berlin\""});
    }
};

KORVANE_ENGINE_TEST_MAIN(TestMaintenance)
#include "test_maintenance.moc"
