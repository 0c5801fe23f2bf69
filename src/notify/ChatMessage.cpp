#include "notify/ChatMessage.h"

#include "notify/AlarmSummary.h"

#include <QRegularExpression>
#include <QStringList>

#include <atomic>
#include <stdexcept>

namespace {

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

// JSON is written by hand because QJsonObject sorts its keys, and the webhook's readers are
// promised the order the documentation shows.
QByteArray jsonString(const QString& text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (uchar(c) < 0x20)
                out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

// A key with its value, the value already written as JSON.
using Member = std::pair<QByteArray, QByteArray>;

QByteArray jsonObject(const QList<Member>& members) {
    QByteArrayList written;
    for (const auto& [key, value] : members)
        written.append('"' + key + "\":" + value);
    return '{' + written.join(',') + '}';
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

// Each service's way of showing a text as it is.
using Escape = QString (*)(const QString&);

QString plain(const QString& text) {
    return text;
}

// Slack and Telegram read &, < and > as the start of their own markup and decode exactly these
// three entities.
QString ampLtGt(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    out.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    out.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return out;
}

QString html(const QString& text) {
    return text.toHtmlEscaped();
}

QString backslashed(const QString& text, const QString& special) {
    QString out;
    for (const QChar c : text) {
        if (special.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// Discord's markdown decodes no entities, but takes a backslash before any punctuation.
QString discordText(const QString& text) {
    return backslashed(text, QStringLiteral("\\*_~`|<>#-[]()"));
}

// Mattermost and Teams render their markdown to HTML: entities pass through it, and & < > as
// entities also keep Mattermost from reading Slack's <address|label> links in the text.
QString markdownText(const QString& text) {
    return backslashed(ampLtGt(text), QStringLiteral("\\*_~`|#-[]()"));
}

// Discord and Mattermost make addresses links before they look at escapes, so a backslash would
// end up in the link and in what the user reads. A code span shows the address exactly.
QString codeSpan(const QString& text) {
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c == QLatin1Char('`') ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const QString fence(longest + 1, QLatin1Char('`'));
    // Markdown drops one space on each side, which lets the address start or end with a backtick.
    const QString pad = text.startsWith(QLatin1Char('`')) || text.endsWith(QLatin1Char('`'))
                            ? QStringLiteral(" ")
                            : QString();
    return fence + pad + text + pad + fence;
}

// One line a page: a line break in an error text would start a line markdown reads anew.
QString oneLine(QString text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return text.replace(breaks, QStringLiteral(" "));
}

// "RED Page Not Found: https://a.example/ — Server said 404", the error left out when it only
// repeats the outcome, as the check's "Page not found: " does.
QString pageLine(const ChatAlarm& alarm, Escape text, Escape address) {
    QString line = text(alarm.status.toUpper()) + QLatin1Char(' ') + text(oneLine(alarm.outcome)) +
                   QStringLiteral(": ") + address(oneLine(alarm.page));
    const QString error = oneLine(alarm.error).trimmed();
    QString bare = error;
    if (bare.endsWith(QLatin1Char(':')))
        bare.chop(1);
    if (!bare.isEmpty() && bare.compare(alarm.outcome.trimmed(), Qt::CaseInsensitive) != 0)
        line += QStringLiteral(" \u2014 ") + text(error);
    return line;
}

QStringList pageLines(const QList<ChatAlarm>& alarms, Escape text, Escape address) {
    QStringList lines;
    for (const ChatAlarm& alarm : alarms)
        lines.append(pageLine(alarm, text, address));
    return lines;
}

QString moreNote(qsizetype left) {
    return left == 1 ? QStringLiteral("\u2026 and 1 more page")
                     : QStringLiteral("\u2026 and %1 more pages").arg(left);
}

// How many lines fit within limit bytes after the fixed part, each behind a separator, together
// with the note of how many were left out.
qsizetype fittingCount(const QString& fixed, const QStringList& lines, const QString& separator,
                       qsizetype limit) {
    const qsizetype separatorSize = separator.toUtf8().size();
    qsizetype used = fixed.toUtf8().size();
    qsizetype fit = 0;
    for (qsizetype kept = 0; used <= limit; ++kept) {
        const qsizetype left = lines.size() - kept;
        if (left == 0)
            return kept;
        if (used + separatorSize + moreNote(left).toUtf8().size() <= limit)
            fit = kept;
        used += separatorSize + lines[kept].toUtf8().size();
    }
    return fit;
}

QStringList firstLines(const QStringList& lines, qsizetype count) {
    QStringList kept = lines.first(count);
    if (count < lines.size())
        kept.append(moreNote(lines.size() - count));
    return kept;
}

QStringList fitted(const QString& fixed, const QStringList& lines, const QString& separator,
                   qsizetype limit) {
    return firstLines(lines, fittingCount(fixed, lines, separator, limit));
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
        written.append(jsonObject({{"page", jsonString(alarm.page)},
                                   {"outcome", jsonString(alarm.outcome)},
                                   {"error", jsonString(alarm.error)},
                                   {"code", QByteArray::number(alarm.code)},
                                   {"status", jsonString(alarm.status)}}));
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
