// The requests that carry a cycle's alarms to chat and push services: exact bodies, and addresses
// and error texts that must arrive as they are whatever each service's markup makes of them.
#include "notify/ChatMessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <stdexcept>

namespace {

const QDateTime cycleTime(QDate(2026, 12, 8), QTime(10, 15), Qt::OffsetFromUTC, 3600);
const QString api = "http://127.0.0.1:8081";

// A red page whose error only repeats the outcome, and one that came back.
const QList<ChatAlarm> redAndBack{{"https://a.example/", "Page Not Found", "Page not found: ", 404, "red"},
                                  {"https://c.example/", "Recovered", "", 200, "ok"}};

ChatRequest build(ChatService service, const QString& address, const QList<ChatAlarm>& alarms,
                  const QString& token = {}) {
    return ChatMessage::build(service, address, token, alarms, "monitor-1", cycleTime, api);
}

// JSON written with ' for ", to be read at a glance.
QByteArray json(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

void row(const char* name, ChatService service, const QString& address, const QString& url,
         const QString& field, const QString& page, const QString& error) {
    QTest::newRow(name) << service << address << url << field << page << error;
}

void refusal(const char* name, ChatService service, const QString& address, const QString& token) {
    QTest::newRow(name) << service << address << token;
}

} // namespace

class TestChatMessage : public QObject {
    Q_OBJECT
private slots:
    void webhookJson() {
        const QList<ChatAlarm> alarms{redAndBack[0],
                                      {"https://b.example/é", "Slow", "said \"late\"\\\t\x01", 200, "yellow"},
                                      redAndBack[1]};
        const ChatRequest request = build(ChatService::Webhook, " https://hooks.example/in ", alarms);
        QCOMPARE(request.url, QUrl("https://hooks.example/in"));
        QCOMPARE(request.contentType, "application/json");
        const QByteArray quoted = "\"said \\\"late\\\"\\\\\\t\\u0001\"";
        QCOMPARE(request.body,
                 json("{'program':'Korvane','host':'monitor-1','time':'2026-12-08T09:15:00Z','alarms':["
                      "{'page':'https://a.example/','outcome':'Page Not Found','error':'Page not found: ',"
                      "'code':404,'status':'red'},{'page':'https://b.example/é','outcome':'Slow','error':") +
                     quoted +
                     json(",'code':200,'status':'yellow'},"
                          "{'page':'https://c.example/"
                          "','outcome':'Recovered','error':'','code':200,'status':'ok'}]}"));
    }

    void ntfyAndSlack() {
        const ChatRequest ntfy = build(ChatService::Ntfy, "https://ntfy.sh/korvane", redAndBack, "tk_abc\n");
        QCOMPARE(ntfy.method, "POST");
        QCOMPARE(ntfy.url, QUrl("https://ntfy.sh/korvane"));
        QCOMPARE(ntfy.contentType, "text/plain; charset=utf-8");
        const QList<std::pair<QByteArray, QByteArray>> headers{{"Title", "Korvane: 1 page red, 1 back"},
                                                               {"Priority", "5"},
                                                               {"Tags", "rotating_light"},
                                                               {"Authorization", "Bearer tk_abc"}};
        QCOMPARE(ntfy.headers, headers);
        QCOMPARE(ntfy.body, "RED Page Not Found: https://a.example/\nOK Recovered: https://c.example/");

        const ChatRequest slack =
            build(ChatService::Slack, "https://hooks.slack.com/services/T/B/x", redAndBack);
        QCOMPARE(slack.url, QUrl("https://hooks.slack.com/services/T/B/x"));
        QCOMPARE(slack.contentType, "application/json");
        QVERIFY(slack.headers.isEmpty());
        QCOMPARE(slack.body,
                 json("{'text':'Korvane: 1 page red, 1 back\\nRED Page Not Found: https://a.example/\\n"
                      "OK Recovered: https://c.example/','mrkdwn':false}"));
    }

    void literalTexts_data() {
        QTest::addColumn<ChatService>("service");
        for (const char* column : {"address", "url", "field", "page", "error"})
            QTest::addColumn<QString>(column);
        const QString page = "https://a.example/?x=1&y=<2>*3*_";
        const QString error = "x_1 <y> & *z*";
        const QString entityPage = "https://a.example/?x=1&amp;y=&lt;2&gt;*3*_";
        const QString entityError = "x_1 &lt;y&gt; &amp; *z*";
        const QString hook = "https://chat.example/hooks/1";
        const QString room =
            "https://m.example/_matrix/client/v3/rooms/%21r%3Am.example/send/m.room.message/";
        // Where the text is: a field of the JSON body, or the whole body.
        row("webhook", ChatService::Webhook, hook, hook, "", page, error);
        row("ntfy", ChatService::Ntfy, "https://ntfy.sh/t", "https://ntfy.sh/t", "", page, error);
        row("gotify", ChatService::Gotify, "https://push.example/g/", "https://push.example/g/message",
            "message", page, error);
        row("slack", ChatService::Slack, hook, hook, "text", entityPage, entityError);
        row("discord", ChatService::Discord, hook, hook, "content", "`" + page + "`",
            R"(x\_1 \<y\> & \*z\*)");
        row("teams", ChatService::Teams, hook, hook, "text",
            R"(https://a.example/?x=1&amp;y=&lt;2&gt;\*3\*\_)", R"(x\_1 &lt;y&gt; &amp; \*z\*)");
        row("mattermost", ChatService::Mattermost, hook, hook, "text", "`" + page + "`",
            R"(x\_1 &lt;y&gt; &amp; \*z\*)");
        row("matrix", ChatService::Matrix, "https://m.example/!r:m.example", room, "formatted_body",
            entityPage, entityError);
        row("telegram", ChatService::Telegram, "@alerts", api + "/bottk_1:a/sendMessage", "text", entityPage,
            entityError);
    }
    void literalTexts() {
        QFETCH(ChatService, service);
        QFETCH(QString, address);
        QFETCH(QString, url);
        QFETCH(QString, field);
        QFETCH(QString, page);
        QFETCH(QString, error);
        const ChatRequest request =
            build(service, address, {{"https://a.example/?x=1&y=<2>*3*_", "Down", "x_1 <y> & *z*", 0, "red"}},
                  "tk_1:a");
        QVERIFY2(request.url.toString().startsWith(url), qPrintable(request.url.toString()));
        const QString shown = field.isEmpty() ? QString::fromUtf8(request.body)
                                              : QJsonDocument::fromJson(request.body)[field].toString();
        QVERIFY2(shown.contains(page) && shown.contains(error), qPrintable(shown));
    }

    void matrixRequest() {
        const QString address = "https://example.org/matrix/%21abc%3Aexample.org";
        const ChatRequest first = build(ChatService::Matrix, address, redAndBack, "syt_x");
        QCOMPARE(first.method, "PUT");
        QCOMPARE(first.headers.value(0).second, "Bearer syt_x");
        QVERIFY(build(ChatService::Matrix, address, redAndBack, "syt_x").url != first.url);
    }

    void refused_data() {
        QTest::addColumn<ChatService>("service");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("token");
        for (int i = 0; i < ChatServiceCount; ++i)
            refusal(qPrintable(chatServiceName(ChatService(i))), ChatService(i), "  ", "t");
        refusal("no http", ChatService::Slack, "ftp://hooks.example/x", "");
        refusal("gotify without token", ChatService::Gotify, "https://push.example", " ");
        refusal("matrix alias", ChatService::Matrix, "https://m.example/#room:m.example", "t");
        refusal("matrix without room", ChatService::Matrix, "https://m.example/", "t");
        refusal("telegram address", ChatService::Telegram, "https://t.me/alerts", "t");
        refusal("token line break", ChatService::Ntfy, "https://ntfy.sh/t", "a\nX-Evil: 1");
    }
    void refused() {
        QFETCH(ChatService, service);
        QFETCH(QString, address);
        QFETCH(QString, token);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, build(service, address, redAndBack, token));
    }
};

QTEST_GUILESS_MAIN(TestChatMessage)
#include "test_chat_message.moc"
