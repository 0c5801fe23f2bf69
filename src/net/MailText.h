#pragma once

#include "net/TExStringList.h"

#include <QByteArray>
#include <QStringList>

class TPostMessage;

// The texts of a mail as the SMTP client writes them, kept apart from the socket so they can
// be tested and fuzzed on their own.
namespace MailText {

// The address of a recipient entry: inside the first "<...>", else the whole entry when it
// has no ":", else the text between its first ":" and the next.
QString ExtractAddress(const QString& entry);

// The header block of a message, one line per entry, without line ends. A boundary that is not
// empty makes the message multipart. Line breaks inside a value become blanks, so no value can
// add a header line or end the header.
TExStringList headerLines(const TPostMessage& message, const QString& boundary);

// Lines of text as they go over the wire: every line break (CR LF, a bare LF or a bare CR) becomes
// CR LF, every entry ends with CR LF, and a line that begins with "." gets one more in front, so
// nothing in the text can end the message early.
QByteArray transparentLines(const QStringList& entries);

// The lines that open a part of a multipart message, each ended by CR LF, the empty line that
// ends the part's header included: the body's text part, or the part of one attached file (its
// name without the folders) with the transfer encoding of its content.
QByteArray textPartHeader(const QString& boundary);
QByteArray attachmentPartHeader(const QString& boundary, const QString& fileName,
                                const QString& transferEncoding);

} // namespace MailText
