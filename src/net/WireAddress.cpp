#include "net/WireAddress.h"

#include <QUrl>
#include <algorithm>

namespace {

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QByteArray WireAddress::percentEncoded(QByteArrayView bytes) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = uchar(c);
        if (byte > ' ' && byte < 0x7F) {
            out += c;
            continue;
        }
        out += '%';
        out += Hex[byte >> 4];
        out += Hex[byte & 0xF];
    }
    return out;
}

QByteArray WireAddress::percentEncoded(QStringView text) {
    return percentEncoded(QByteArrayView(text.toUtf8()));
}

QByteArray WireAddress::host(const QString& host) {
    if (isAscii(host))
        return host.toLatin1();
    // A name that has no ACE form cannot be looked up either; it still goes out as ASCII.
    const QByteArray ace = QUrl::toAce(host);
    return ace.isEmpty() ? percentEncoded(host) : ace;
}

QByteArray WireAddress::url(const QString& url) {
    // The authority runs from "//" to the next slash, as the URL parser takes it.
    const qsizetype start = url.indexOf(QLatin1String("//"));
    if (start < 0)
        return percentEncoded(url);
    const qsizetype begin = start + 2;
    qsizetype end = url.indexOf(QLatin1Char('/'), begin);
    if (end < 0)
        end = url.size();
    const QStringView authority = QStringView(url).mid(begin, end - begin);
    if (isAscii(authority))
        return percentEncoded(url);
    // Letters outside ASCII are a name's, never an IPv6 address's: a colon can only start the port.
    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    const qsizetype hostEnd = colon < 0 ? end : begin + colon;
    return percentEncoded(QStringView(url).left(begin)) + host(url.mid(begin, hostEnd - begin)) +
           percentEncoded(QStringView(url).mid(hostEnd));
}
