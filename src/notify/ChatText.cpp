#include "notify/ChatText.h"

#include <QRegularExpression>

namespace {

using ChatText::Escape;

QString backslashed(const QString& text, const QString& special) {
    QString out;
    for (const QChar c : text) {
        if (special.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// One line a page: a line break in an error text would start a line markdown reads anew.
QString oneLine(QString text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return text.replace(breaks, QStringLiteral(" "));
}

} // namespace

QString ChatText::heldBehind(int held) {
    return held == 1 ? QStringLiteral(" (and 1 page that depends on it)")
                     : QStringLiteral(" (and %1 pages that depend on it)").arg(held);
}

namespace {

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
    if (alarm.held > 0)
        line += text(ChatText::heldBehind(alarm.held));
    return line;
}

QString moreNote(qsizetype left) {
    return left == 1 ? QStringLiteral("\u2026 and 1 more page")
                     : QStringLiteral("\u2026 and %1 more pages").arg(left);
}

} // namespace

// JSON is written by hand because QJsonObject sorts its keys, and the webhook's readers are
// promised the order the documentation shows.
QByteArray ChatText::jsonString(const QString& text) {
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

QByteArray ChatText::jsonObject(const QList<ChatText::Member>& members) {
    QByteArrayList written;
    for (const auto& [key, value] : members)
        written.append('"' + key + "\":" + value);
    return '{' + written.join(',') + '}';
}

QString ChatText::plain(const QString& text) {
    return text;
}

// Slack and Telegram read &, < and > as the start of their own markup and decode exactly these
// three entities.
QString ChatText::ampLtGt(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    out.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    out.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return out;
}

QString ChatText::html(const QString& text) {
    return text.toHtmlEscaped();
}

// Discord's markdown decodes no entities, but takes a backslash before any punctuation.
QString ChatText::discordText(const QString& text) {
    return backslashed(text, QStringLiteral("\\*_~`|<>#-[]()"));
}

// Mattermost and Teams render their markdown to HTML: entities pass through it, and & < > as
// entities also keep Mattermost from reading Slack's <address|label> links in the text.
QString ChatText::markdownText(const QString& text) {
    return backslashed(ampLtGt(text), QStringLiteral("\\*_~`|#-[]()"));
}

// Discord and Mattermost make addresses links before they look at escapes, so a backslash would
// end up in the link and in what the user reads. A code span shows the address exactly.
QString ChatText::codeSpan(const QString& text) {
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

QStringList ChatText::pageLines(const QList<ChatAlarm>& alarms, Escape text, Escape address) {
    QStringList lines;
    for (const ChatAlarm& alarm : alarms)
        lines.append(pageLine(alarm, text, address));
    return lines;
}

QStringList ChatText::fitted(const QString& fixed, const QStringList& lines, const QString& separator,
                             qsizetype limit) {
    return firstLines(lines, fittingCount(fixed, lines, separator, limit));
}

qsizetype ChatText::fittingCount(const QString& fixed, const QStringList& lines, const QString& separator,
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

QStringList ChatText::firstLines(const QStringList& lines, qsizetype count) {
    QStringList kept = lines.first(count);
    if (count < lines.size())
        kept.append(moreNote(lines.size() - count));
    return kept;
}
