#pragma once

#include "net/TExStringList.h"

class THeaderInfo;

// The request header of one HTTP/1.0 request, line by line, without the line ends.
class RequestBuilder {
public:
    struct Target {
        QString method; // "GET", "HEAD"
        QString url;
        QString path;
        QString host;
        QString proxy;
    };
    static TExStringList build(const Target& target, const THeaderInfo& info);
    // What asks a proxy for a tunnel to host:port (an IPv6 host in its brackets). HTTP/1.0 needs
    // no Host line, and the proxy learns nothing more about us than it must.
    static TExStringList tunnel(const QString& host, qint32 port);
};
