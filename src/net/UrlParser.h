#pragma once

#include <QString>

// Where an HTTP request goes, taken apart the way the HTTP client always has: the host part is
// optional (a Location of "/x" stays on the same server), and so is the scheme.
struct ParsedUrl {
    QString url;  // the URL, with "/" appended when it had no path
    QString path; // the request target without a proxy
    QString host; // an IPv6 address keeps its brackets, as it goes into the Host line
    qint32 port = 0;
    QString scheme; // what stands before the first ":", in lower case; empty when there is no ":"
};

class UrlParser {
public:
    // host and port are the ones in use; the URL keeps them where it names none.
    // Raises "Empty URL", or the integer conversion error for a port that is not a number.
    static ParsedUrl parse(const QString& url, const QString& host, qint32 port);
    // Decimal with an optional sign, in signed 32-bit range; anything else raises
    // "'text' is not a valid integer value".
    static qint32 toInteger(const QString& text);
    // "host:port" of the server an address goes to, the host in lower case and ACE form; empty
    // for an address that goes nowhere.
    static QString server(const QString& url);
};
