#pragma once

#include "support/net/PeerProcess.h"

// nginx serving static files from root(): real ETag, Last-Modified, Content-Length and 404s.
class NginxPeer : public PeerProcess {
public:
    bool start();
    QString root() const { return dir() + QStringLiteral("/root"); }
    void addFile(const QString& name, const QByteArray& content);
    QString url(const QString& path) const;
};
