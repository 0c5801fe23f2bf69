#include "pages/PageAddress.h"

#include "net/AddressLogin.h"
#include "net/WireAddress.h"

#include <QStringDecoder>

namespace {

// The byte of a "%XX" at `at` with upper-case hex digits, as the kept form writes them; -1 for
// anything else. A sequence written in lower case was typed so, and stays as it was typed.
int encodedByte(QStringView text, qsizetype at) {
    const auto digit = [&](qsizetype i) {
        const char16_t c = i < text.size() ? text[i].unicode() : u'\0';
        return c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
    };
    if (at >= text.size() || text[at] != QLatin1Char('%') || digit(at + 1) < 0 || digit(at + 2) < 0)
        return -1;
    return digit(at + 1) * 16 + digit(at + 2);
}

// How many bytes the UTF-8 sequence that starts with lead has; 0 for a byte that starts none
// outside ASCII.
int sequenceLength(int lead) {
    return lead >= 0xC2 && lead <= 0xDF   ? 2
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                          : 0;
}

// Appends the character whose kept form starts at `at`; returns how much of stored it took, 0
// when none starts there.
qsizetype decodeAt(QStringView stored, qsizetype at, QString& typed) {
    const int lead = encodedByte(stored, at);
    if (lead == ' ') {
        typed += QLatin1Char(' ');
        return 3;
    }
    const int length = sequenceLength(lead);
    if (length == 0)
        return 0;
    QByteArray bytes;
    for (int i = 0; i < length; ++i) {
        const int byte = encodedByte(stored, at + 3 * i);
        if (byte < 0)
            return 0;
        bytes += char(byte);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString character = utf8.decode(bytes);
    if (utf8.hasError())
        return 0;
    typed += character;
    return 3 * length;
}

} // namespace

QString storedPageAddress(const QString& address) {
    return QString::fromLatin1(WireAddress::percentEncoded(address));
}

QString typedPageAddress(const QString& stored) {
    QString typed;
    typed.reserve(stored.size());
    for (qsizetype at = 0; at < stored.size();) {
        const qsizetype taken = decodeAt(stored, at, typed);
        if (taken == 0)
            typed += stored[at++];
        else
            at += taken;
    }
    return typed;
}

QString storablePageAddress(const QString& typed) {
    QString address = typed;
    return typedPageAddress(address.replace(QLatin1Char(','), QStringLiteral("%2C")));
}

QString namingPageAddress(const QString& typed) {
    return splitLogin(storablePageAddress(typed.trimmed())).address;
}
