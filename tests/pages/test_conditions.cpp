// A page's conditions: what they read from a check and whether they hold, where a condition that
// does not parse goes wrong, and how the settings file keeps them.
#include "net/IniFile.h"
#include "pages/ConditionCheck.h"
#include "pages/ConditionValues.h"
#include "pages/PageOptionsCheck.h"
#include "pages/PageOptionsFile.h"
#include "pages/PageRecords.h"
#include "support/EngineTestMain.h"

namespace {

CheckFacts facts() {
    CheckFacts facts;
    facts.status = 200;
    facts.responseTimeMs = 153;
    facts.connected = true;
    facts.ip = "127.0.0.1";
    facts.header =
        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nX-Tag: a\r\nx-tag: b\r\nX-Empty:\r\n";
    facts.body = R"({"status": "UP", "count": 3, "ratio": 0.25, "version": "v1.2.3",
                     "checks": [{"name": "db", "ok": true}, {"name": "cache", "ok": false}]})";
    facts.dnsRcode = "NOERROR";
    facts.dnsAnswers = QStringList{"10 mail.example.org.", "20 MX2.example.org."};
    return facts;
}

QByteArray nested(int depth) {
    return QByteArray(depth, '[') + "1" + QByteArray(depth, ']');
}

} // namespace

class TestConditions : public QObject {
    Q_OBJECT
private slots:
    void evaluate_data() {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QByteArray>("body"); // empty: the facts' JSON
        QTest::addColumn<bool>("holds");
        QTest::addColumn<QString>("found");
        const auto row = [](const char* condition, bool holds, const QString& found,
                            const QByteArray& body = {}) {
            QTest::newRow(condition) << QString(condition) << body << holds << found;
        };
        row("[STATUS] == 200.0", true, "200");
        row("[RESPONSE_TIME] < 100", false, "153");
        row("[CONNECTED] == true", true, "true");
        row("[IP] == pat(127.*)", true, "127.0.0.1");
        row("[CERTIFICATE_EXPIRATION] > 48", false, "missing");
        row("[HEADER].content-type == application/json", true, "application/json");
        row("[HEADER].X-TAG!=\"a, b\"", false, "a, b");
        row("[HEADER].Server != nginx", false, "missing");
        row("[HEADER].x-empty == x", false, "empty");
        row("[BODY].status == DOWN", false, "UP");
        row("[BODY].checks[1].ok==false", true, "false");
        row("[BODY].checks[2].name == db", false, "missing");
        row("[BODY].count > 10", false, "3");
        row("[BODY].ratio >= 0.25", true, "0.25");
        row("len([BODY].checks) == 2", true, "2");
        row("len([BODY].version) < 6", false, "6");
        row("has([BODY].checks[0].name) == true", true, "true");
        row("has([BODY].gone) == true", false, "false");
        row("[BODY].version == any(v1.2.2, \"v1.2.3\")", true, "v1.2.3");
        row("[BODY].version != any(v1.2.2, v1.2.3)", false, "v1.2.3");
        row("[BODY].checks[0].name == pat(d?)", true, "db");
        row("[BODY] contains \"is \\\"well\\\"\"", true, "all is \"well\"", "all is \"well\"");
        row("[BODY].status == UP", false, "missing", "UP");
        row("has([BODY][0]) == true", true, "true", nested(64));
        row("[BODY][0] == 1", false, "missing", nested(65));
        row("[BODY] == pat(*a*a*a*a*a*a*a*a*b*)", false, QString(200, 'a') + QChar(0x2026),
            QByteArray(20000, 'a'));
        row("[DNS_RCODE] == NOERROR", true, "NOERROR");
        row("[ANSWERS] == 20 mx2.example.org, 10 MAIL.example.org.", true,
            "10 mail.example.org., 20 MX2.example.org.");
        row("[ANSWERS] == 10 mail.example.org.", false, "10 mail.example.org., 20 MX2.example.org.");
        row("[ANSWERS] contains 20 mx2.example.org.", true, "10 mail.example.org., 20 MX2.example.org.");
        row("len([ANSWERS]) == 2", true, "2");
    }
    void evaluate() {
        QFETCH(QString, condition);
        QFETCH(QByteArray, body);
        QFETCH(bool, holds);
        QFETCH(QString, found);
        CheckFacts checked = facts();
        if (!body.isEmpty())
            checked.body = body;
        auto parsed = Condition::parse(condition);
        QVERIFY(std::holds_alternative<Condition>(parsed));
        ConditionValues values(checked);
        const Condition::Verdict verdict = std::get<Condition>(parsed).evaluate(values);
        QCOMPARE(verdict.holds, holds);
        QCOMPARE(verdict.found, found);
        const QStringList lines{"[STATUS] == 200", "", condition};
        QCOMPARE(ConditionCheck::firstFailure(ConditionCheck::parse(lines), checked),
                 holds ? std::nullopt
                       : std::optional<QString>("condition not met: " + condition + " (was " + found + ")"));
    }

    void refused_data() {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("error"); // on the third line, after a right one and a blank one
        const auto row = [](const QString& condition, const char* error) {
            QTest::newRow(qPrintable(condition)) << condition << QString(error);
        };
        row("!", "column 1: expected a value such as [STATUS], len(...) or has(...)");
        row("[STATUS] = 200", "column 10: expected ==, !=, <, <=, >, >= or contains");
        row("[STAUTS] == 200", "column 1: unknown value [STAUTS]");
        row("[HEADER] == x", "column 9: expected .Name after [HEADER]");
        row("[BODY].a[x] == 1", "column 10: expected an index such as [0]");
        row("[BODY].a ==", "column 12: expected a value");
        row("[BODY].msg == hello world",
            "column 21: expected the end of the condition; text with blanks goes in double quotes");
        row("[STATUS] < pat(2*)", "column 12: pat(...) goes with == or !=");
        row("[ANSWERS] > 2", "column 11: [ANSWERS] compares with ==, != or contains");
        row("[STATUS] == 200, 201", "column 16: a list of values is for [ANSWERS] or any(...)");
        row("[ANSWERS] contains a, b", "column 21: contains takes one answer");
        row("len([BODY] == 2", "column 12: expected ) to close what len opened at column 1");
        row("[BODY].x == any(a, b", "column 21: expected ) to close any( at column 13");
        row("[BODY].a == \"open", "column 13: no \" closes this text");
        row("[STATUS] == [STATUS]", "column 13: a value such as [STATUS] goes on the left; quote text that "
                                    "starts with [");
        row("[BODY]" + QString(".a").repeated(65) + " == 1", "column 135: a path deeper than 64 levels");
    }
    void refused() {
        QFETCH(QString, condition);
        QFETCH(QString, error);
        QCOMPARE(PageOptionsCheck::conditions({"[STATUS] == 200", " ", condition}), "line 3, " + error);
    }

    void settingsFileKeepsThem() {
        PageRecords pages;
        PageOptions options;
        options.send = " PING ";
        options.expect = "PONG";
        options.conditions = {"[CONNECTED] == true", "[BODY].a == \"x y\""};
        pages.setOptions(pages.addPage("http://a/", false, false, false), options);
        IniFile ini;
        PageOptionsFile::save(ini, pages);
        const QByteArray text = ini.serialize();
        QVERIFY2(text.contains("1.send=\" PING \"\n1.expect=\"PONG\"\n1.condition 1=\"[CONNECTED] == true\"\n"
                               "1.condition 2=\"[BODY].a == \"x y\"\"\n"),
                 text);
        QCOMPARE(PageOptionsFile::load(IniFile::parse(text), pages), QStringList());
        QCOMPARE(pages.options(0), options);
    }
};

KORVANE_ENGINE_TEST_MAIN(TestConditions)
#include "test_conditions.moc"
