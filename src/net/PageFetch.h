#pragma once

#include "net/ByteQueue.h"
#include "net/ProxyTunnel.h"
#include "net/FetchRequest.h"
#include "net/FetchResult.h"
#include "net/HeaderEndScanner.h"
#include "net/TlsClient.h"

#include <QAbstractSocket>
#include <QObject>
#include <memory>

class HostLookups;
class QSslSocket;
class QTcpSocket;

// One request of a page check, without waiting: start it, and finished() follows once the
// response header is in or the request failed. Many run side by side on the event loop, each
// on a connection of its own: name lookup (shared), connect to the name's addresses in turn,
// a proxy's tunnel and TLS for https, the request, the response header. The body is never
// read. Time limits are the owner's: it stops a request that takes too long.
class PageFetch : public QObject {
    Q_OBJECT
public:
    PageFetch(HostLookups& lookups, TlsTickets& tickets, QObject* parent = nullptr);
    ~PageFetch() override;

    void start(const FetchRequest& request);
    // Ends the request at once, without finished().
    void stop();
    const FetchResult& result() const { return result_; }

signals:
    void finished();

private:
    enum class Phase { Idle, LookingUp, Connecting, Tunnel, Handshake, Reply };

    void lookUp();
    void resolved(const QList<QHostAddress>& addresses);
    void attemptNext();
    void onConnected();
    void startTls();
    void sendRequest();
    void onReadyRead();
    void readTunnelReply();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void noteTrouble(ConnectionTrouble trouble, const QString& detail);
    // The connection could not be made on this address, or what followed on it failed.
    void attemptFailed();
    void takeHeader();
    void fail(const QString& errorText);
    void finishSoon(const QString& errorText);
    void finish();
    void dropSocket();
    QSslSocket* tlsSocket() const;

    HostLookups& lookups_;
    TlsClient tls_;
    FetchRequest request_;
    FetchResult result_;
    Phase phase_ = Phase::Idle;
    quint64 generation_ = 0; // answers for an earlier request of this fetch are dropped
    bool secure_ = false;
    QByteArray requestBytes_;
    QList<QHostAddress> addresses_;
    qsizetype nextAddress_ = 0;
    QTcpSocket* socket_ = nullptr;
    std::unique_ptr<ProxyTunnel> tunnel_;
    HeaderEndScanner headerEnd_;
    ByteQueue received_;
    QString failureText_; // what a failed connection says instead of "Connection Failed"
};
