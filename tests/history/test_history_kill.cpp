// The real program on a real X server, killed in the middle of a cycle: its history file stays
// sound and holds every cycle before that one.
#include "history/HistoryStore.h"
#include "support/desktop/XvfbDesktop.h"
#include "support/net/ScriptedPeer.h"

#include <QFile>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int ShowLimitMs = 60000;

// What a query on the file answers; empty while it cannot be read yet.
QString ask(const QString& path, const QString& statement) {
    QString answer;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "look");
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QSqlQuery query(db);
        if (db.open() && query.exec(statement) && query.next())
            answer = query.value(0).toString();
        query.clear();
        db.close();
    }
    QSqlDatabase::removeDatabase("look");
    return answer;
}

int requestsFor(ScriptedPeer& peer, const QByteArray& requestLine) {
    const QList<QByteArray> requests = peer.requests();
    return int(std::count_if(requests.begin(), requests.end(),
                             [&](const QByteArray& request) { return request.startsWith(requestLine); }));
}
} // namespace

class TestHistoryKill : public QObject {
    Q_OBJECT
private slots:
    void killedInACycle() {
        QVERIFY2(desktop_.running(), "Xvfb and openbox did not start");
        ScriptedPeer peer({{"mode", "http"},
                           {"routes", QJsonObject{{"/ok", QJsonObject{{"send", "HTTP/1.0 200 OK\r\n\r\n"}}},
                                                  {"*", QJsonObject{{"silent", true}}}}}});
        QVERIFY(peer.start());
        QTemporaryDir dir;
        QFile settings(dir.filePath("KV.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        // The silent page first: nothing of the second cycle is handed back before the kill.
        settings.write(("[defaults]\nEditTimeOut=1\nCheckListBoxURL=1" + peer.url("/hang") + ",1" + peer.url("/ok") +
                        ",1" + peer.url("/ok?again") + ",")
                           .toUtf8());
        settings.close();
        const QString history = dir.filePath("KV.history.sqlite");

        QProcessEnvironment env = desktop_.environment();
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        QProcess korvane;
        QVERIFY(XvfbDesktop::launch(korvane, KORVANE_PROGRAM, {"--settings", settings.fileName()}, env));
        const XvfbDesktop::Window window = desktop_.waitForWindow(korvane.processId(), "Korvane", ShowLimitMs);
        QVERIFY(window);
        QVERIFY(desktop_.ping(window, ShowLimitMs));

        desktop_.click(window, 15, 14); // "Check websites once"
        QTRY_COMPARE_WITH_TIMEOUT(ask(history, "SELECT count(*) FROM checks"), QString("3"), ShowLimitMs);
        desktop_.click(window, 15, 14);
        QTRY_COMPARE_WITH_TIMEOUT(requestsFor(peer, "HEAD /hang "), 2, ShowLimitMs);
        korvane.kill();
        QVERIFY(korvane.waitForFinished());

        QCOMPARE(ask(history, "PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(ask(history, "SELECT count(*) FROM checks"), QString("3"));
        QCOMPARE(ask(history, "SELECT group_concat(kind) FROM events"), QString("program start,cycle start,cycle end"));

        // The next start ends the killed run at its last sign of life: from there on, until the
        // new run, nothing was monitored.
        {
            HistoryStore next(history, {});
            next.open();
        }
        QCOMPARE(ask(history, "SELECT group_concat(kind) FROM events"),
                 QString("program start,cycle start,cycle end,program end"));
        QCOMPARE(ask(history, "SELECT count(DISTINCT time_ms) FROM (SELECT time_ms FROM events ORDER BY rowid DESC LIMIT 2)"),
                 QString("1"));
    }

private:
    XvfbDesktop desktop_;
};

QTEST_GUILESS_MAIN(TestHistoryKill)
#include "test_history_kill.moc"
