// A page's outcome decided from its check, without sockets or a window: the rows it fires, its
// status, its access time, its failure streak and its values.
#include "check/PageOutcome.h"

#include <QTest>

Q_DECLARE_METATYPE(PageAnswer)
Q_DECLARE_METATYPE(PageOptions)
Q_DECLARE_METATYPE(PageBefore)
Q_DECLARE_METATYPE(OutcomeRules)

namespace {

const QString Url = QStringLiteral("http://site.example/");
const QDateTime Now = QDateTime(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);

PageAnswer answer(int reply, const QString& fields = {}, qint64 ms = 1000) {
    PageAnswer a;
    a.currentUrl = Url;
    a.exchange.replyNumber = qint16(reply);
    a.exchange.header = QStringLiteral("HTTP/1.0 %1 X\r\n").arg(reply) + fields + QStringLiteral("\r\n");
    a.elapsedMs = ms;
    return a;
}

PageAnswer noAnswer(const QString& error, ConnectionTrouble trouble = ConnectionTrouble::None) {
    PageAnswer a = answer(0);
    a.exchange.header.clear();
    a.errorText = error;
    a.exchange.trouble = trouble;
    return a;
}

PageAnswer timedOut(int reply) {
    PageAnswer a = reply ? answer(reply) : noAnswer(QStringLiteral("Timed out"));
    a.errorText = QStringLiteral("Timed out");
    a.timedOut = true;
    return a;
}

PageAnswer withCertificate(int daysLeft) {
    PageAnswer a = answer(200);
    a.exchange.certificateExpiry = Now.addDays(daysLeft).addSecs(60);
    return a;
}

PageAnswer withBody(const QByteArray& body) {
    PageAnswer a = answer(200);
    a.body = body;
    return a;
}

PageBefore before(PageStatus status = PageStatus::Ok, FailureStreak streak = {}, const QString& size = "-") {
    return {status, streak, {ListedValue{size, true}, ListedValue{"-", false}, ListedValue{"-", false}}};
}

OutcomeRules rules(int failCount = 1, bool userAborted = false) {
    OutcomeRules r;
    r.failCount = failCount;
    r.nowUtc = Now;
    r.userAborted = userAborted;
    return r;
}

PageOptions accepting(const QString& codes) {
    PageOptions o;
    o.acceptedCodes = codes;
    return o;
}

PageOptions mustContain(const QString& text) {
    PageOptions o;
    o.mustContain = text;
    return o;
}

// The outcome in one line: status, access time, the rows fired with their texts, a held line,
// the streak and the size kept.
QString summary(const PageOutcome& o) {
    QStringList parts{QString::number(int(o.status)), QString::number(o.accessTime)};
    for (const FiredRow& row : o.rows)
        parts << alarmConditionName(row.condition) + QStringLiteral("=") + row.errorText;
    if (!o.heldLine.isEmpty())
        parts << o.heldLine;
    if (o.heldByNetwork)
        parts << QStringLiteral("held by the network");
    parts << QStringLiteral("streak %1%2").arg(o.streak.failedChecks).arg(o.streak.alarmed ? "!" : "");
    parts << QStringLiteral("size ") + o.values[0].text;
    return parts.join(QStringLiteral(" | "));
}

} // namespace

class TestPageOutcome : public QObject {
    Q_OBJECT
private slots:
    void decided_data() {
        QTest::addColumn<PageAnswer>("answer");
        QTest::addColumn<PageOptions>("options");
        QTest::addColumn<PageBefore>("before");
        QTest::addColumn<OutcomeRules>("rules");
        QTest::addColumn<bool>("networkDown");
        QTest::addColumn<QString>("expected");

        const PageOptions plain;
        QTest::newRow("success") << answer(200) << plain << before() << rules() << false
                                 << "3 | 1 | No Error=No Error | streak 0 | size -";
        QTest::newRow("slow")
            << answer(200, {}, 6500) << plain << before() << rules() << false
            << "3 | 6 | No Error=No Error | Slow Access=Slow Access: 6 seconds | streak 0 | size -";
        QTest::newRow("at the slow limit") << answer(200, {}, 5999) << plain << before() << rules() << false
                                           << "3 | 5 | No Error=No Error | streak 0 | size -";
        QTest::newRow("404") << answer(404) << plain << before() << rules() << false
                             << "0 | 20 | Page Not Found=Page not found:  | streak 1! | size -";
        QTest::newRow("404 watched to stay gone") << answer(404) << accepting("404") << before() << rules()
                                                  << false << "3 | 1 | No Error=No Error | streak 0 | size -";
        QTest::newRow("no such host") <<
            [] {
                PageAnswer a = noAnswer(QStringLiteral("Null Remote Address"));
                a.exchange.invalidHost = true;
                return a;
            }() << plain << before() << rules()
                                      << false
                                      << "0 | 20 | Host Not Found=Invalid Host  | streak 1! | size -";
        QTest::newRow("refused")
            << noAnswer(QStringLiteral("Connection Failed"), ConnectionTrouble::Refused) << plain << before()
            << rules() << false
            << "0 | 20 | Connection Failed=Connection failed: connection refused | streak 1! | size -";
        QTest::newRow("time-out") << timedOut(0) << plain << before() << rules() << false
                                  << "0 | 20 | TimeOut=TimedOut | streak 1! | size -";
        QTest::newRow("body stalled after 200")
            << timedOut(200) << plain << before() << rules() << false
            << "0 | 20 | TimeOut=TimedOut after reply 200 | streak 1! | size -";
        QTest::newRow("cut short by the user")
            << noAnswer(QStringLiteral("Check aborted")) << plain << before() << rules(1, true) << false
            << "0 | 20 | streak 0 | size -";
        QTest::newRow("first of two failures")
            << answer(500) << plain << before() << rules(2) << false
            << "0 | 20 | Failed check 1 of 2: " + Url + " | streak 1 | size -";
        QTest::newRow("second of two failures")
            << answer(500) << plain << before(PageStatus::Failed, {1, false}) << rules(2) << false
            << "0 | 20 | Page Not Found=Page not found:  | streak 2! | size -";
        QTest::newRow("network down") << answer(500) << plain << before(PageStatus::Ok, {1, true}) << rules()
                                      << true << "0 | 20 | held by the network | streak 1! | size -";
        QTest::newRow("wrong text, network down or not")
            << withBody("<html>error</html>") << mustContain("Add to cart") << before() << rules() << true
            << "0 | 20 | Content Check Failed=Content check failed: text not found: Add to cart | streak 1! "
               "| size -";
        QTest::newRow("back after red")
            << answer(200) << plain << before(PageStatus::RedAlarm, {3, true}) << rules() << false
            << "3 | 1 | No Error=No Error | Recovered=Recovered after 3 failed checks | streak 0 | size -";
        QTest::newRow("back from failures never announced")
            << answer(200) << plain << before(PageStatus::Failed, {1, false}) << rules(2) << false
            << "3 | 1 | No Error=No Error | streak 0 | size -";
        QTest::newRow("certificate ending")
            << withCertificate(5) << plain << before() << rules() << false
            << "3 | 1 | No Error=No Error | Certificate Expiring=Certificate expires "
               "in 5 days | streak 0 | size -";
        QTest::newRow("certificate far off") << withCertificate(40) << plain << before() << rules() << false
                                             << "3 | 1 | No Error=No Error | streak 0 | size -";
        QTest::newRow("size changed")
            << answer(200, "Content-Length: 120\r\n") << plain << before(PageStatus::Ok, {}, "100") << rules()
            << false
            << "3 | 1 | No Error=No Error | Size Changed=Page Size Changed: old=100 new=120  "
               "| streak 0 | size 120";
        QTest::newRow("size first seen")
            << answer(200, "Content-Length: 120\r\n") << plain << before() << rules() << false
            << "3 | 1 | No Error=No Error | streak 0 | size 120";
    }

    void decided() {
        QFETCH(PageAnswer, answer);
        QFETCH(PageOptions, options);
        QFETCH(PageBefore, before);
        QFETCH(OutcomeRules, rules);
        QFETCH(bool, networkDown);
        QTEST(summary(decideOutcome(answer, options, before, rules, networkDown)), "expected");
    }

    // A failure that the network's state could excuse asks for it; one that proves the network
    // up does not.
    void asksTheNetworkOnlyWhereItMatters() {
        QVERIFY(decideOutcome(answer(500), {}, before(), rules(), false).asksNetwork);
        QVERIFY(!decideOutcome(answer(200), {}, before(), rules(), false).asksNetwork);
        QVERIFY(!decideOutcome(withBody("x"), mustContain("y"), before(), rules(), false).asksNetwork);
    }
};

QTEST_GUILESS_MAIN(TestPageOutcome)
#include "test_page_outcome.moc"
