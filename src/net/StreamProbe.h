#pragma once

#include "net/ByteQueue.h"
#include "net/Connector.h"
#include "net/GreetingDialogue.h"
#include "net/Probe.h"
#include "net/StreamAddress.h"

#include <QElapsedTimer>

class QTcpSocket;

// The check of a TCP port, a TLS server or a mail server: the name looked up (shared), the
// connection made with the trust rules of https pages, then as the scheme says: for tcp, the
// text to send and the first reply; for tls, the handshake alone; for the mail schemes, the
// greeting, STARTTLS where the scheme has it, and a goodbye that is written but not waited for.
// The greeting's lines are bounded as the mail client's are.
class StreamProbe : public Probe {
    Q_OBJECT
public:
    StreamProbe(HostLookups& lookups, TlsTickets& tickets, QObject* parent = nullptr);
    ~StreamProbe() override;

    void start(const FetchRequest& request) override;
    void stop() override;

private:
    enum class Phase { Idle, LookingUp, Connecting, Upgrading, Banner, Talking, Leaving };

    void lookUp();
    void resolved(const QList<QHostAddress>& addresses);
    ConnectTarget target() const;
    void takeOutcome();
    void onConnected();
    void onConnectFailed();
    void adopt(QTcpSocket* socket);
    void onReadyRead();
    void readBanner();
    void takeLines();
    void advance(const GreetingDialogue::Step& step);
    void sendLine(const QString& line);
    void onClosed();
    void onSocketError(QAbstractSocket::SocketError error);
    void noteFirstByte();
    void fail(const QString& errorText, ConnectionTrouble trouble = ConnectionTrouble::None,
              const QString& detail = {});
    void finishSoon(const QString& errorText);
    void finish();

    HostLookups& lookups_;
    Connector connector_;
    FetchRequest request_;
    StreamAddress address_;
    GreetingDialogue dialogue_;
    Phase phase_ = Phase::Idle;
    quint64 generation_ = 0; // answers for an earlier start are dropped
    QTcpSocket* socket_ = nullptr;
    ByteQueue received_;
    QElapsedTimer phaseClock_;
};
