#pragma once

#include "net/HeaderLines.h"
#include "net/TExStringList.h"

class THeaderInfo;

// The request header of one HTTP/1.0 request, line by line, without the line ends. The address
// goes out as WireAddress makes it.
class RequestBuilder {
public:
    struct Target {
        QString method; // "GET", "HEAD"
        QString url;
        QString path;
        QString host;
        QString proxy;
    };
    // The extra lines replace ours of the same name, or follow them.
    static TExStringList build(const Target& target, const THeaderInfo& info,
                               const QList<HeaderLine>& extra = {});
    // What asks a proxy for a tunnel to host:port (an IPv6 host in its brackets). HTTP/1.0 needs
    // no Host line, and the proxy learns nothing more about us than it must.
    static TExStringList tunnel(const QString& host, qint32 port);
};
