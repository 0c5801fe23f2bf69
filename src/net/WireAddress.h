#pragma once

#include <QByteArray>
#include <QString>

// An address as it goes out on the wire: the way it was typed, in the bytes a request line and a
// Host line may carry. A server reads "%C3%BC" as the "ü" a browser sends; raw bytes outside
// ASCII, or a raw space, make it answer for another page or not at all.
namespace WireAddress {

// The bytes with every one outside printable ASCII, and every space, written as "%" and two
// upper-case hex digits. Everything else, a "%" included, stays as it is: an address already
// encoded goes out byte for byte.
QByteArray percentEncoded(QByteArrayView bytes);
// The text's UTF-8 bytes, percent-encoded as above.
QByteArray percentEncoded(QStringView text);
// A host name as DNS and the Host line know it: a name with letters outside ASCII in its ACE
// (punycode) form, any other name as it is.
QByteArray host(const QString& host);
// An absolute URL, as a proxy gets it in the request line: its host as host() gives it, the rest
// percent-encoded.
QByteArray url(const QString& url);

} // namespace WireAddress
