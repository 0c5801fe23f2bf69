#pragma once

#include "net/ConnectReplyReader.h"

#include <QString>

class QIODevice;

// A tunnel through an HTTP proxy to host:port, for TLS to go through: the CONNECT request, and
// the proxy's answer read as it arrives.
class ProxyTunnel {
public:
    void ask(QIODevice& socket, const QString& host, qint32 port);
    // Takes what the socket has; true once the answer is complete, or too large to be one.
    bool read(QIODevice& socket);
    bool opened() const { return reply_.opened(); }
    bool tooLarge() const { return reply_.tooLarge(); }
    // What a connection the proxy would not tunnel fails with.
    QString refusal() const { return QStringLiteral("Proxy refused the connection: ") + reply_.statusLine(); }
    QString statusLine() const { return reply_.statusLine(); }

private:
    ConnectReplyReader reply_;
};
