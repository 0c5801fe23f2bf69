#include "net/MailText.h"

#include "net/TPostMessage.h"

namespace {
const QString PlainText = QStringLiteral("Content-Type: text/plain;") + QString(24, QLatin1Char(' ')) +
                          QStringLiteral("charset=us-ascii");
const QByteArray LineEnd = "\r\n";

// A value on one header line: a line break inside it would start a header line of its own, or
// end the header and put the rest into the body.
QString oneLine(QString value) {
    return value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString joined(const QStringList& entries) {
    QStringList values;
    for (const QString& entry : entries)
        values << oneLine(entry);
    return values.join(QLatin1Char(','));
}

QByteArray headerBlock(const QStringList& lines) {
    QByteArray block;
    for (const QString& line : lines)
        block += line.toLatin1() + LineEnd;
    return block + LineEnd;
}
} // namespace

namespace MailText {

QString ExtractAddress(const QString& entry) {
    const qsizetype open = entry.indexOf(QLatin1Char('<'));
    if (open >= 0) {
        qsizetype end = open + 1;
        while (end < entry.size() && entry[end] != QLatin1Char('>') && entry[end] != QLatin1Char('<'))
            ++end;
        return entry.mid(open + 1, end - open - 1);
    }
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return entry;
    return entry.mid(colon + 1).section(QLatin1Char(':'), 0, 0);
}

TExStringList headerLines(const TPostMessage& message, const QString& boundary) {
    TExStringList lines;
    lines << QStringLiteral("From: ") + oneLine(message.FromName) + QLatin1Char('<') +
                 oneLine(message.FromAddress) + QLatin1Char('>');
    if (!message.ToAddress.isEmpty())
        lines << QStringLiteral("To: ") + joined(message.ToAddress);
    if (!message.ToCarbonCopy.isEmpty())
        lines << QStringLiteral("CC: ") + joined(message.ToCarbonCopy);
    lines.SetHeader(QStringLiteral("Subject"), oneLine(message.Subject));
    lines.SetHeader(QStringLiteral("X-Mailer"), oneLine(message.LocalProgram));
    lines.SetHeader(QStringLiteral("Reply-To"), oneLine(message.ReplyTo));
    lines.SetHeader(QStringLiteral("Date"), oneLine(message.Date));
    lines.SetHeader(QStringLiteral("Message-ID"), oneLine(message.MessageID));
    lines << QStringLiteral("Mime-Version: 1.0");
    if (boundary.isEmpty())
        lines << PlainText;
    else
        lines << QStringLiteral("Content-Type: multipart/mixed;") + QString(19, QLatin1Char(' ')) +
                     QStringLiteral("boundary=\"") + oneLine(boundary) + QLatin1Char('"');
    return lines;
}

QByteArray transparentLines(const QStringList& entries) {
    QByteArray out;
    for (const QString& entry : entries) {
        const QByteArray text = entry.toLatin1();
        bool lineStart = true;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                out += LineEnd;
                lineStart = true;
                continue;
            }
            if (lineStart && c == '.')
                out += '.';
            out += c;
            lineStart = false;
        }
        out += LineEnd;
    }
    return out;
}

QByteArray textPartHeader(const QString& boundary) {
    return headerBlock({QStringLiteral("--") + oneLine(boundary), PlainText});
}

QByteArray attachmentPartHeader(const QString& boundary, const QString& fileName,
                                const QString& transferEncoding) {
    const QString name = oneLine(fileName);
    return headerBlock({QStringLiteral("--") + oneLine(boundary),
                        QStringLiteral("Content-Type: application/octet-stream;") +
                            QString(10, QLatin1Char(' ')) + QStringLiteral("name=\"") + name +
                            QLatin1Char('"'),
                        QStringLiteral("Content-Transfer-Encoding: ") + oneLine(transferEncoding),
                        QStringLiteral("Content-Disposition: attachment;") + QString(17, QLatin1Char(' ')) +
                            QStringLiteral("filename=\"") + name + QLatin1Char('"')});
}

} // namespace MailText
