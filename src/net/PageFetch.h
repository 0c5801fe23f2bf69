#pragma once

#include "net/ByteQueue.h"
#include "net/Connector.h"
#include "net/FetchRequest.h"
#include "net/FetchResult.h"
#include "net/HeaderEndScanner.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QObject>

class HostLookups;
class QTcpSocket;

// One HTTP request without waiting: start it, and finished() follows once the response header
// is in (or, when asked for, the body up to the server's close), or the request failed. Many
// run side by side on the event loop, each on a connection of its own: name lookup (shared),
// connect to the name's addresses in turn, a proxy's tunnel and TLS for https, the request, the
// response. Time limits are the owner's: it stops a request that takes too long.
class PageFetch : public QObject {
    Q_OBJECT
public:
    PageFetch(HostLookups& lookups, TlsTickets& tickets, QObject* parent = nullptr);
    ~PageFetch() override;

    void start(const FetchRequest& request);
    // Ends the request at once, without finished().
    void stop();
    const FetchResult& result() const { return result_; }
    // The name is still being looked up (or TLS loaded for it): nothing is connected yet.
    bool lookingUp() const { return phase_ == Phase::LookingUp; }

signals:
    // The connection stands and the request has gone out.
    void requested();
    // The header is in, and the body follows (readBody).
    void headerReceived();
    void bodyReceived(const QByteArray& bytes);
    void finished();

private:
    enum class Phase { Idle, LookingUp, Connecting, Reply, Body };

    void lookUp();
    void resolved(const QList<QHostAddress>& addresses);
    void onConnected();
    void onConnectFailed();
    void takeConnection();
    void onReadyRead();
    void readHeader();
    void readBody();
    void onDisconnected();
    void takeHeader();
    void fail(const QString& errorText);
    void finishSoon(const QString& errorText);
    void finish();

    HostLookups& lookups_;
    Connector connector_;
    FetchRequest request_;
    FetchResult result_;
    Phase phase_ = Phase::Idle;
    quint64 generation_ = 0; // answers for an earlier request of this fetch are dropped
    bool secure_ = false;
    QByteArray requestBytes_;
    QTcpSocket* socket_ = nullptr;
    HeaderEndScanner headerEnd_;
    QElapsedTimer phaseClock_;
    ByteQueue received_;
};
