// Any bytes as the texts of a mail. As body entries (split at zero bytes) they go over the wire
// as CR LF lines only, and no line of theirs can be the "." that ends the message; as header
// values they stay on their own header line.
#include "net/MailText.h"
#include "net/TPostMessage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList entries = text.split(QChar(0));

    const QByteArray wire = MailText::transparentLines(entries);
    if (!wire.endsWith("\r\n") || wire.startsWith(".\r\n") || wire.contains("\r\n.\r\n"))
        std::abort();
    for (qsizetype i = 0; i < wire.size(); ++i) {
        if (wire[i] == '\n' && (i == 0 || wire[i - 1] != '\r'))
            std::abort();
        if (wire[i] == '\r' && (i + 1 == wire.size() || wire[i + 1] != '\n'))
            std::abort();
    }

    TPostMessage message;
    message.FromName = message.FromAddress = message.Subject = message.LocalProgram = message.Date =
        message.ReplyTo = message.MessageID = text;
    message.ToAddress = message.ToCarbonCopy = entries;
    const QStringList lines =
        MailText::headerLines(message, text) +
        QString::fromLatin1(MailText::attachmentPartHeader(text, text, text)).split("\r\n");
    for (const QString& line : lines)
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();

    for (const QString& entry : entries)
        if (!entry.contains(MailText::ExtractAddress(entry)))
            std::abort();
    return 0;
}
