#pragma once

#include "net/ConnectionTrouble.h"

#include <QHash>
#include <QSslError>
#include <QString>

class QSslSocket;

// Sessions the servers gave us to resume, by "host:port", shared by the connections of one owner.
class TlsTickets {
public:
    struct Ticket {
        QByteArray bytes;
        bool verified = false; // from a session whose certificate problems were not let pass
    };
    QHash<QString, Ticket> byPeer;
};

// The TLS side of one connection at a time: what it trusts, which earlier session it may resume,
// and which problems of the peer's certificate it lets pass.
class TlsClient {
public:
    explicit TlsClient(TlsTickets& tickets) : tickets_(tickets) {}

    struct Verdict {
        ConnectionTrouble trouble = ConnectionTrouble::None; // None: the handshake goes on
        QString reason;
    };

    // Sets up the connected socket for peerName (a host name, or an address without brackets)
    // and port, and starts the handshake. With acceptUntrusted, certificate problems pass.
    void start(QSslSocket& socket, const QString& peerName, quint16 port, bool acceptUntrusted);
    // Judges the errors the socket found in the peer's certificate; lets them pass when they may.
    Verdict judge(QSslSocket& socket, const QList<QSslError>& errors);
    // The connection ends: the session ticket the server gave, if any, is offered by the next
    // connection to the same peer.
    void keepTicket(const QSslSocket& socket);

private:
    TlsTickets& tickets_;
    QString peer_;
    bool acceptUntrusted_ = false;
    bool passed_ = false; // certificate problems were let pass on this connection
};
