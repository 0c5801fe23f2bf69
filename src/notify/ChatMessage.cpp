#include "notify/ChatMessage.h"

#include "notify/AlarmSummary.h"
#include "notify/ChatText.h"

#include <QRegularExpression>
#include <QStringList>

#include <atomic>
#include <stdexcept>

namespace {

using namespace ChatText;

// The most each service shows of a message, in bytes of UTF-8. Bytes are never fewer than the
// characters the services count, so a text within the limit is within theirs.
constexpr qsizetype NtfyLimit = 4000;     // ntfy makes a longer message an attachment
constexpr qsizetype SlackLimit = 38000;   // Slack cuts the text at 40,000 characters
constexpr qsizetype DiscordLimit = 2000;  // Discord refuses longer content
constexpr qsizetype TeamsLimit = 14000;   // the whole card must stay under 28 KB, escapes included
constexpr qsizetype MatrixLimit = 30000;  // both bodies share the event's 64 KiB
constexpr qsizetype TelegramLimit = 4096; // Telegram refuses longer text

// The log line that reports it names the service already.
[[noreturn]] void fail(const QString& problem) {
    throw std::runtime_error(problem.toStdString());
}

enum class Level { Ok, Yellow, Red };

Level worstLevel(const QList<ChatAlarm>& alarms) {
    Level worst = Level::Ok;
    for (const ChatAlarm& alarm : alarms) {
        if (alarm.status == QLatin1String("red"))
            return Level::Red;
        if (alarm.status == QLatin1String("yellow"))
            worst = Level::Yellow;
    }
    return worst;
}

QUrl webAddress(const QString& address) {
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        fail(QStringLiteral("\"%1\" is not an http or https address.").arg(address));
    return url;
}

// A token goes into a header field or the address, where a line break would end the request.
QByteArray checkedToken(const QString& token) {
    const QString trimmed = token.trimmed();
    for (const QChar c : trimmed) {
        if (c.category() == QChar::Other_Control)
            fail(QStringLiteral("the token holds a line break or another control character."));
    }
    return trimmed.toUtf8();
}

QByteArray requiredToken(const QString& token, const QString& what) {
    const QByteArray checked = checkedToken(token);
    if (checked.isEmpty())
        fail(QStringLiteral("the %1 is missing.").arg(what));
    return checked;
}

QByteArray bearer(const QByteArray& token) {
    return "Bearer " + token;
}

ChatRequest webhook(const QString& address, const QList<ChatAlarm>& alarms, const QString& host,
                    const QDateTime& time) {
    QByteArrayList written;
    for (const ChatAlarm& alarm : alarms) {
        QList<Member> fields{{"page", jsonString(alarm.page)},
                             {"outcome", jsonString(alarm.outcome)},
                             {"error", jsonString(alarm.error)},
                             {"code", QByteArray::number(alarm.code)},
                             {"status", jsonString(alarm.status)}};
        if (alarm.held > 0)
            fields.append({"held", QByteArray::number(alarm.held)});
        written.append(jsonObject(fields));
    }
    ChatRequest request;
    request.url = webAddress(address);
    request.contentType = "application/json";
    request.body = jsonObject({{"program", jsonString(QStringLiteral("Korvane"))},
                               {"host", jsonString(host)},
                               {"time", jsonString(time.toUTC().toString(Qt::ISODate))},
                               {"alarms", '[' + written.join(',') + ']'}});
    return request;
}

// The title goes in a header field as it is: title() writes only ASCII.
ChatRequest ntfy(const QString& address, const QString& token, const QList<ChatAlarm>& alarms) {
    ChatRequest request;
    request.url = webAddress(address);
    if (request.url.path().remove(QLatin1Char('/')).isEmpty())
        fail(QStringLiteral("the address names no topic, as in https://ntfy.sh/mytopic."));
    const QByteArray secret = checkedToken(token);
    const Level level = worstLevel(alarms);
    request.contentType = "text/plain; charset=utf-8";
    request.headers = {{"Title", ChatMessage::title(alarms).toUtf8()},
                       {"Priority", level == Level::Red      ? "5"
                                    : level == Level::Yellow ? "4"
                                                             : "3"},
                       {"Tags", level == Level::Red      ? "rotating_light"
                                : level == Level::Yellow ? "warning"
                                                         : "white_check_mark"}};
    if (!secret.isEmpty())
        request.headers.append({"Authorization", bearer(secret)});
    const QString newline = QStringLiteral("\n");
    request.body = fitted({}, pageLines(alarms, plain, plain), newline, NtfyLimit).join(newline).toUtf8();
    return request;
}

// Gotify keeps a message of any length, so nothing is cut.
ChatRequest gotify(const QString& address, const QString& token, const QList<ChatAlarm>& alarms) {
    ChatRequest request;
    QUrl url = webAddress(address);
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/message"));
    request.url = url;
    request.headers = {{"X-Gotify-Key", requiredToken(token, QStringLiteral("application's token"))}};
    const Level level = worstLevel(alarms);
    request.contentType = "application/json";
    request.body =
        jsonObject({{"title", jsonString(ChatMessage::title(alarms))},
                    {"message", jsonString(pageLines(alarms, plain, plain).join(QLatin1Char('\n')))},
                    {"priority", level == Level::Red      ? "8"
                                 : level == Level::Yellow ? "5"
                                                          : "2"},
                    {"extras", R"({"client::display":{"contentType":"text/plain"}})"}});
    return request;
}

// Slack's markdown has no escapes, so it is turned off: * and _ then show as they are.
ChatRequest slack(const QString& address, const QList<ChatAlarm>& alarms) {
    ChatRequest request;
    request.url = webAddress(address);
    request.contentType = "application/json";
    const QString head = ampLtGt(ChatMessage::title(alarms));
    const QString newline = QStringLiteral("\n");
    const QStringList lines = fitted(head, pageLines(alarms, ampLtGt, ampLtGt), newline, SlackLimit);
    request.body =
        jsonObject({{"text", jsonString((QStringList{head} + lines).join(newline))}, {"mrkdwn", "false"}});
    return request;
}

// allowed_mentions keeps an "@everyone" in an error text from calling the whole server.
ChatRequest discord(const QString& address, const QList<ChatAlarm>& alarms) {
    ChatRequest request;
    request.url = webAddress(address);
    request.contentType = "application/json";
    const QString head =
        QStringLiteral("**") + discordText(ChatMessage::title(alarms)) + QStringLiteral("**");
    const QString newline = QStringLiteral("\n");
    const QStringList lines = fitted(head, pageLines(alarms, discordText, codeSpan), newline, DiscordLimit);
    request.body = jsonObject({{"content", jsonString((QStringList{head} + lines).join(newline))},
                               {"allowed_mentions", R"({"parse":[]})"}});
    return request;
}

// A card's title is plain text; its text breaks lines only at a blank line. Its text also takes
// HTML, so the address is escaped like the rest rather than put in a code span, where an entity
// would show as typed and a < might still be read as a tag.
ChatRequest teams(const QString& address, const QList<ChatAlarm>& alarms) {
    ChatRequest request;
    request.url = webAddress(address);
    request.contentType = "application/json";
    const QString title = ChatMessage::title(alarms);
    const Level level = worstLevel(alarms);
    const QString blankLine = QStringLiteral("\n\n");
    const QStringList lines =
        fitted({}, pageLines(alarms, markdownText, markdownText), blankLine, TeamsLimit);
    request.body = jsonObject({{"@type", jsonString(QStringLiteral("MessageCard"))},
                               {"@context", jsonString(QStringLiteral("https://schema.org/extensions"))},
                               {"summary", jsonString(title)},
                               {"themeColor", level == Level::Red      ? "\"D70000\""
                                              : level == Level::Yellow ? "\"F0B400\""
                                                                       : "\"2E7D32\""},
                               {"title", jsonString(title)},
                               {"text", jsonString(lines.join(blankLine))}});
    return request;
}

// Mattermost splits a long post by itself, so nothing is cut.
ChatRequest mattermost(const QString& address, const QList<ChatAlarm>& alarms) {
    ChatRequest request;
    request.url = webAddress(address);
    request.contentType = "application/json";
    const QString head =
        QStringLiteral("**") + markdownText(ChatMessage::title(alarms)) + QStringLiteral("**");
    const QStringList lines = QStringList{head} + pageLines(alarms, markdownText, codeSpan);
    request.body = jsonObject({{"text", jsonString(lines.join(QLatin1Char('\n')))}});
    return request;
}

// Two messages sent in the same millisecond with one access token still need transaction ids of
// their own, or the homeserver takes the second for a repeat of the first.
QString transactionId(const QDateTime& time) {
    static std::atomic<quint64> counter = 0;
    return QStringLiteral("korvane%1-%2").arg(time.toMSecsSinceEpoch()).arg(++counter);
}

// The address is the homeserver's followed by the room's id: https://matrix.example.org/!abc:example.org.
ChatRequest matrix(const QString& address, const QString& token, const QList<ChatAlarm>& alarms,
                   const QDateTime& time) {
    const qsizetype slash = address.lastIndexOf(QLatin1Char('/'));
    const QString room = QUrl::fromPercentEncoding(address.mid(slash + 1).toUtf8());
    if (room.startsWith(QLatin1Char('#')))
        fail(QStringLiteral("the address ends in a room alias (#...): use the room's id "
                            "(!...), shown in the room's settings under Advanced."));
    QString base = address.left(slash);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    // A link copied from a web client keeps the room in its fragment, where no request can go.
    if (slash < 0 || room.size() < 2 || !room.startsWith(QLatin1Char('!')) ||
        base.contains(QLatin1Char('#')) || base.contains(QLatin1Char('?')))
        fail(QStringLiteral("the address must be the homeserver's followed by the room's id, "
                            "as in https://matrix.example.org/!abcdef:example.org."));
    webAddress(base); // only checked: the request's address is built below

    ChatRequest request;
    request.method = "PUT";
    request.url = QUrl(base + QStringLiteral("/_matrix/client/v3/rooms/") +
                       QString::fromLatin1(QUrl::toPercentEncoding(room)) +
                       QStringLiteral("/send/m.room.message/") + transactionId(time));
    request.headers = {{"Authorization", bearer(requiredToken(token, QStringLiteral("access token")))}};
    request.contentType = "application/json";
    const QString title = ChatMessage::title(alarms);
    const QString htmlHead = QStringLiteral("<b>") + html(title) + QStringLiteral("</b>");
    const QString br = QStringLiteral("<br>");
    const QStringList htmlLines = pageLines(alarms, html, html);
    const qsizetype count = fittingCount(htmlHead, htmlLines, br, MatrixLimit);
    const QStringList plainLines = QStringList{title} + firstLines(pageLines(alarms, plain, plain), count);
    request.body = jsonObject(
        {{"msgtype", jsonString(QStringLiteral("m.text"))},
         {"body", jsonString(plainLines.join(QLatin1Char('\n')))},
         {"format", jsonString(QStringLiteral("org.matrix.custom.html"))},
         {"formatted_body", jsonString((QStringList{htmlHead} + firstLines(htmlLines, count)).join(br))}});
    return request;
}

// The address is the chat's id, a number such as -1001234567890, or a public channel's @name.
ChatRequest telegram(const QString& address, const QString& token, const QList<ChatAlarm>& alarms,
                     const QString& apiBase) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    static const QRegularExpression channel(QStringLiteral("^@[A-Za-z0-9_]+$"));
    QByteArray chat;
    if (number.match(address).hasMatch())
        chat = address.toLatin1();
    else if (channel.match(address).hasMatch())
        chat = jsonString(address);
    else
        fail(QStringLiteral("the address must be the chat's id, a number such as "
                            "-1001234567890, or a public channel's @name."));
    const QByteArray secret = requiredToken(token, QStringLiteral("bot's token"));
    QString base = apiBase;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);

    ChatRequest request;
    request.url = QUrl(base + QStringLiteral("/bot") +
                       QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(secret), ":")) +
                       QStringLiteral("/sendMessage"));
    request.contentType = "application/json";
    const QString head = QStringLiteral("<b>") + ampLtGt(ChatMessage::title(alarms)) + QStringLiteral("</b>");
    const QString newline = QStringLiteral("\n");
    const QStringList lines = fitted(head, pageLines(alarms, ampLtGt, ampLtGt), newline, TelegramLimit);
    request.body = jsonObject({{"chat_id", chat},
                               {"text", jsonString((QStringList{head} + lines).join(newline))},
                               {"parse_mode", jsonString(QStringLiteral("HTML"))},
                               {"disable_web_page_preview", "true"}});
    return request;
}

} // namespace

QString ChatMessage::title(const QList<ChatAlarm>& alarms) {
    qsizetype red = 0;
    qsizetype yellow = 0;
    qsizetype back = 0;
    for (const ChatAlarm& alarm : alarms) {
        red += alarm.status == QLatin1String("red");
        yellow += alarm.status == QLatin1String("yellow");
        back += alarm.status == QLatin1String("ok");
    }
    return alarmSummary(red, yellow, back);
}

ChatRequest ChatMessage::build(ChatService service, const QString& address, const QString& token,
                               const QList<ChatAlarm>& alarms, const QString& host, const QDateTime& time,
                               const QString& apiBase) {
    const QString typed = address.trimmed();
    if (typed.isEmpty())
        fail(QStringLiteral("the address is empty."));
    switch (service) {
    case ChatService::Webhook:
        return webhook(typed, alarms, host, time);
    case ChatService::Ntfy:
        return ntfy(typed, token, alarms);
    case ChatService::Gotify:
        return gotify(typed, token, alarms);
    case ChatService::Slack:
        return slack(typed, alarms);
    case ChatService::Discord:
        return discord(typed, alarms);
    case ChatService::Teams:
        return teams(typed, alarms);
    case ChatService::Mattermost:
        return mattermost(typed, alarms);
    case ChatService::Matrix:
        return matrix(typed, token, alarms, time);
    case ChatService::Telegram:
        return telegram(typed, token, alarms, apiBase);
    }
    fail(QStringLiteral("this service is unknown."));
}
