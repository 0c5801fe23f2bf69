#pragma once

#include "support/net/PeerProcess.h"

#include <QStringList>

// nginx serving static files from root(): real ETag, Last-Modified, Content-Length and 404s;
// over TLS with a given certificate when started secure.
class NginxPeer : public PeerProcess {
public:
    bool start();
    bool startSecure(const QString& certificate, const QString& key);
    QString root() const { return dir() + QStringLiteral("/root"); }
    void addFile(const QString& name, const QByteArray& content);
    // Lets the user in to /private/ with the password, hashed by the openssl command.
    bool addLogin(const QString& user, const QString& password);
    QString url(const QString& path) const;
    // The lines of the access log: the request line, after the server name and whether the
    // session was reused on a secure peer.
    QStringList accessLog() const;

private:
    bool run(const QString& config);

    bool secure_ = false;
};
