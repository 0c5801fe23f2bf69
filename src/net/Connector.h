#pragma once

#include "net/ConnectionTrouble.h"
#include "net/ProxyTunnel.h"
#include "net/TlsClient.h"

#include <QAbstractSocket>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <memory>
#include <optional>

class QSslSocket;
class QTcpSocket;

// Where a connection goes, and how.
struct ConnectTarget {
    QString host; // the server: its name goes out for SNI, is checked in its certificate, ends the tunnel
    qint32 port = 0;
    QString proxy; // empty = the addresses given are the server's
    qint32 proxyPort = 0;
    bool secure = false;     // TLS with host from the first byte, through a tunnel when there is a proxy
    bool tlsCapable = false; // the connection may turn to TLS later (startTls)
    bool acceptUntrusted = false;

    qint32 dialedPort() const { return proxy.isEmpty() ? port : proxyPort; }
};

// What making a connection found, whether it stands or failed.
struct ConnectOutcome {
    QHostAddress remoteAddress; // the address last tried
    ConnectionTrouble trouble = ConnectionTrouble::None;
    QString troubleDetail;
    QString failureText; // "Connection Failed", or why the proxy would not tunnel
    QString socketErrorText;
    std::optional<QAbstractSocket::SocketError> socketError; // the last the socket reported
    QDateTime certificateExpiry;                             // of a TLS peer
    // How long the connection that stands took to be taken, and its TLS handshake (with the
    // proxy's tunnel before it); none for a phase that did not happen.
    std::optional<qint64> connectMs;
    std::optional<qint64> tlsMs;
};

// Makes one connection without waiting: the looked-up addresses in turn until one takes it,
// then the proxy's tunnel and the TLS handshake where the target needs them. connected() or
// failed() follows, once. Time limits are the owner's: it stops what takes too long.
class Connector : public QObject {
    Q_OBJECT
public:
    explicit Connector(TlsTickets& tickets, QObject* parent = nullptr);
    ~Connector() override;

    void start(const ConnectTarget& target, const QList<QHostAddress>& addresses);
    // The handshake with target.host on a connection made with tlsCapable, handed back for it.
    void startTls(QTcpSocket* socket, const ConnectTarget& target);
    // Drops the connection being made, without a signal.
    void stop();
    // After connected(): the connection, now parent's and no longer watched here.
    QTcpSocket* take(QObject* parent);
    const ConnectOutcome& outcome() const { return outcome_; }
    // The connection ends: the server's session ticket is offered by the next one to it.
    void keepTicket(const QSslSocket& socket) { tls_.keepTicket(socket); }

signals:
    void connected();
    void failed();

private:
    enum class Phase { Idle, Connecting, Tunnel, Handshake, Connected };

    void attemptNext();
    void adopt(QTcpSocket* socket);
    void onConnected();
    void beginTls();
    void onReadyRead();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void noteTrouble(ConnectionTrouble trouble, const QString& detail);
    // The connection could not be made on this address, or what followed on it failed.
    void attemptFailed();
    void fail();
    void succeed();
    QSslSocket* tlsSocket() const;

    TlsClient tls_;
    ConnectTarget target_;
    ConnectOutcome outcome_;
    Phase phase_ = Phase::Idle;
    QList<QHostAddress> addresses_;
    qsizetype nextAddress_ = 0;
    QTcpSocket* socket_ = nullptr;
    std::unique_ptr<ProxyTunnel> tunnel_;
    QElapsedTimer phaseClock_;
};
