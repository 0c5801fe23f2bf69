#pragma once

#include "net/ChunkedDecoder.h"
#include "net/Connector.h"
#include "net/FetchRequest.h"
#include "net/FetchResult.h"
#include "net/ResponseHeaderBuffer.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QObject>
#include <optional>

class HostLookups;
class QTcpSocket;

// One HTTP request without waiting: start it, and finished() follows once the response header
// is in (or, when asked for, the body up to its declared length or the server's close), or the
// request failed. Many run side by side on the event loop, each on a connection of its own: name
// lookup (shared), connect to the name's addresses in turn, a proxy's tunnel and TLS for https,
// the request, the response. Time limits are the owner's: it stops a request that takes too long.
// The header is held within ResponseHeaderBuffer's bounds; the body is handed on as it comes,
// a chunked one as its data.
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
    // Hands on the body's bytes, up to the end the header declared or the last chunk.
    void passBody(QByteArray bytes);
    void onDisconnected();
    // Runs a reaction to the socket; a buffer that cannot grow fails the request.
    void guarded(void (PageFetch::*reaction)());
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
    ResponseHeaderBuffer header_;
    qint64 bodyLeft_ = -1; // bytes the header declared and not yet passed on; -1 = up to the close
    std::optional<ChunkedDecoder> chunks_; // of a chunked body
    QElapsedTimer phaseClock_;
};
