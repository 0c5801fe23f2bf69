#pragma once

#include "net/ConnectionTrouble.h"
#include "net/FireEvent.h"

#include <QDateTime>
#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QIODevice;
class SessionConnect;
class SessionPumps;
class SessionTransfers;
class QSslSocket;
class QTcpSocket;
class TThreadTimer;

// One TCP client session on the event thread: resolve, connect, send, read lines or everything
// up to the close, disconnect. The operations look blocking to their caller but wait with the
// event loop running, so timers, clicks and this session's own notifications run inside them;
// they talk to the waiting operation only through the flags below.
//
// Text goes over the wire one byte per character (Latin-1): everything received comes back
// byte for byte, and characters beyond Latin-1 cannot be sent as text.
//
// A secure session speaks TLS from its first byte; it counts as connected once the handshake
// is done, and everything else (the waits, the flags, the texts) is the same as for a plain one.
class TPowersock : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using THandledEvent = std::function<void(bool& Handled)>;
    using TStatusEvent = std::function<void(QObject* Sender, const QString& Status)>;

    explicit TPowersock(QObject* parent = nullptr);
    ~TPowersock() override;

    // Settings.
    QString Host;
    qint32 Port = 0;
    // Milliseconds for the name lookup and for the connect (the mail client bounds every wait
    // with it); 0 = no limit.
    qint32 TimeOut = 0;
    qint32 ReportLevel = 1;
    QString Proxy; // empty = connect to Host directly
    qint32 ProxyPort = 0;
    // The next Connect speaks TLS with Host (through a tunnel of the proxy when Proxy is set):
    // Host goes out for SNI and is checked against the peer's certificate.
    bool Secure = false;
    // Problems of the peer's certificate (a chain we do not trust, another name, an expired
    // one) are let pass, for intranet servers with certificates of their own. A handshake that
    // fails for another reason still fails.
    bool AcceptUntrusted = false;
    // The conversation may turn to TLS after the next Connect (StartTls). Only a connection that
    // speaks TLS now or may later loads the TLS library, so checks of plain pages never carry it.
    bool MayStartTls = false;

    // Events. Handlers may call Disconnect, Cancel or Abort on this session.
    TNotifyEvent OnDisconnect;
    TNotifyEvent OnConnect;
    THandledEvent OnInvalidHost; // Handled = true asks for one more lookup (Host may be changed)
    TNotifyEvent OnHostResolved;
    TStatusEvent OnStatus;
    TNotifyEvent OnConnectionFailed;
    TNotifyEvent OnPacketRecvd;
    TNotifyEvent OnPacketSent;
    THandledEvent OnConnectionRequired;

    // Run-time state.
    bool Connected = false;
    bool Canceled = false; // a pending cancellation; see Cancel()
    bool TimerExpired = false;
    bool EventOk = false;
    bool LookupDone = false;
    bool SendDone = false;
    bool Busy = false; // keeps ReadToStream and WriteFromStream from nesting into themselves
    bool CountBytes = false;
    bool FromFile = false;
    bool Destroying = false;
    qint16 ReplyNumber = 0;
    QString LastReply;
    quint32 LastErrorNo = 0;
    QString Status;
    qint32 BytesTotal = 0;
    qint32 BytesSent = 0;
    quint32 BytesRecvd = 0;
    QHostAddress RemoteAddress; // the peer (or proxy) connected to, IPv4 or IPv6; null = none
    // Why the last Connect failed, or why its connection ended before the peer's first reply
    // line; cleared by Connect. The detail is the TLS library's reason, or the proxy's answer.
    ConnectionTrouble Trouble = ConnectionTrouble::None;
    QString TroubleDetail;
    // When the certificate of the last TLS peer ends; invalid for a plain connection. Cleared by
    // Connect.
    QDateTime PeerCertificateExpiry;
    QStringList SocketLibraryInfo;

    virtual void Connect();
    // Turns the plain connection that stands into a TLS one with Host, checked as a Secure
    // connect is (AcceptUntrusted applies). Raises when the handshake fails, TimeOut passes or
    // the session is canceled; whatever the peer sent before it is dropped.
    void StartTls();
    bool Encrypted() const;
    virtual void Disconnect();
    void Cancel();
    virtual void Abort();
    virtual QString Transaction(const QString& command);

    void Write(const QString& text);
    void Writeln(const QString& text);
    void SendBuffer(const QByteArray& bytes, int length);
    void SendStream(QIODevice& stream);
    void SendFile(const QString& fileName);

    QString ReadLn();
    QString CaptureString(int max = -1);
    void CaptureFile(const QString& fileName);

    void RequireConnection();
    QString RemoteIP() const;
    // This computer's first IPv4 address, looked up by its host name; raises when there is none.
    QString LocalIP();
    QString SocketErrorText(quint32 code);
    QString CheckError(quint32 acceptedCode);
    void StatusMessage(int level, const QString& text);

    static constexpr qsizetype TransferChunk = 16383;
    static constexpr int LongestBuffer = 65535;
    // The longest line ReadLn takes, many times what a mail server's reply line may be. A peer
    // that sends more without a line end is cut off, as is one that heaps up more than
    // LongestUnread bytes that nobody reads.
    static constexpr qsizetype LongestLine = 4096;
    static constexpr qsizetype LongestUnread = 64 * 1024;

protected:
    void CloseSocket();
    void ResolveHost();
    void TimerOn() { TimerOn(TimeOut); }
    // The timer for the milliseconds given (0: none) rather than for TimeOut.
    void TimerOn(qint64 milliseconds);
    void TimerOff();
    void ReadToStream();
    void WriteFromStream();
    // Takes a reply line as the last reply: LastReply, and ReplyNumber from its leading digits.
    void TakeReply(const QString& reply);
    // Forgets whatever was received and not yet read.
    void ClearReceived();

    // Hooks for the clients built on this session.
    std::function<void()> CancelHook; // ReadToStream found a cancellation pending
    std::function<void(QObject* Sender, quint32 code, const QString& text)> ErrorHook;

private:
    friend class SessionConnect;
    friend class SessionPumps;
    friend class SessionTransfers;

    void wireSocket();
    // Takes the connection made, and says so.
    void adoptSocket(QTcpSocket* socket);
    // Hands the connection over for its TLS handshake, unwatched.
    QTcpSocket* releaseSocket();
    // Drops the connection, and the one being made, without any notification.
    void dropSocket();
    // The socket as a TLS one; null on a plain connection.
    QSslSocket* tlsSocket() const;
    // Runs a notification's reaction, unless notifications are off; nothing it raises gets past
    // here.
    void notified(const std::function<void()>& reaction);
    void noteTrouble(ConnectionTrouble trouble, const QString& detail);
    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();
    void onSocketError(int error);
    void timerTick();

    QTcpSocket* socket_ = nullptr; // the connection; null while none stands
    SessionConnect* link_ = nullptr;
    TThreadTimer* timer_ = nullptr;
    std::unique_ptr<SessionPumps> pumps_;
    std::unique_ptr<SessionTransfers> transfers_;
    bool peerClosed_ = false; // the peer closed this connection: no more bytes will come
    bool replied_ = false;    // a line of the peer's reply has been read on this connection
    quint32 platformError_ = 0;
    bool notificationsOff_ = false;
};
