#include "net/TPowersock.h"

#include "net/DiscardSocket.h"
#include "net/EAbortError.h"
#include "net/ELineTooLong.h"
#include "net/ESockError.h"
#include "net/EventWait.h"
#include "net/FileError.h"
#include "net/HostAddresses.h"
#include "net/LocalAddress.h"
#include "net/SocketErrorTable.h"
#include "net/TThreadTimer.h"

#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QScopeGuard>
#include <QSslSocket>
#include <algorithm>
#include <limits>
#include <stdexcept>
#include <sys/resource.h>

namespace {
// What the session layer runs on, in the six lines the clients have always shown.
QStringList socketLibraryDescription() {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const auto maxSockets = files.rlim_cur == RLIM_INFINITY ? qulonglong(std::numeric_limits<int>::max())
                                                            : qulonglong(files.rlim_cur);
    return {QStringLiteral("Version= 1.1"),
            QStringLiteral("High Version= 1.1"),
            QStringLiteral("Description= Qt Network %1").arg(QString::fromLatin1(qVersion())),
            QStringLiteral("System= Running"),
            QStringLiteral("Max Sockets= %1").arg(maxSockets),
            QStringLiteral("Max Udp pack size= 65507")};
}

qint32 saturated32(qint64 value) {
    return qint32(
        std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

const QString HostLookupFailed = QStringLiteral("Host Lookup Failed");
const QString ClosedEarly = QStringLiteral("Connection closed before a complete reply");
} // namespace

TPowersock::TPowersock(QObject* parent) : QObject(parent) {
    StatusMessage(8, QStringLiteral("Create"));
    timer_ = new TThreadTimer(this);
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this](QObject*) { timerTick(); });
    StatusMessage(8, QStringLiteral("Initializing Winsock"));
    SocketLibraryInfo = socketLibraryDescription();
    connector_ = new Connector(tickets_, this);
    connect(connector_, &Connector::connected, this, &TPowersock::onConnectorConnected);
    connect(connector_, &Connector::failed, this, &TPowersock::onConnectorFailed);
}

TPowersock::~TPowersock() {
    // Whoever destroys a session has let its waits unwind first; nothing is reported any more.
    Destroying = true;
    Canceled = true;
    abortLookup();
    timer_->SetEnabled(false);
    dropSocket();
    Connected = false;
}

QSslSocket* TPowersock::tlsSocket() const {
    return qobject_cast<QSslSocket*>(socket_);
}

ConnectTarget TPowersock::target() const {
    return {Host, Port, Proxy, ProxyPort, Secure, MayStartTls, AcceptUntrusted};
}

void TPowersock::wireSocket() {
    connect(socket_, &QTcpSocket::readyRead, this, &TPowersock::onReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &TPowersock::onBytesWritten);
    connect(socket_, &QTcpSocket::disconnected, this, &TPowersock::onDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) { onSocketError(int(error)); });
}

// Drops the connection and whatever was being made, without any notification.
void TPowersock::dropSocket() {
    connector_->stop();
    discardSocket(socket_, this);
    notificationsOff_ = false;
}

// ---- notifications -------------------------------------------------------------------------
// An exception escaping a notification would tear through the event loop; they end here.

void TPowersock::notified(const std::function<void()>& reaction) {
    if (notificationsOff_)
        return;
    try {
        EventOk = true;
        reaction();
    } catch (...) {
    }
}

void TPowersock::onConnectorConnected() {
    const ConnectOutcome& outcome = connector_->outcome();
    RemoteAddress = outcome.remoteAddress;
    PeerCertificateExpiry = outcome.certificateExpiry;
    socket_ = connector_->take(this);
    wireSocket();
    // What came with the handshake was not seen by our own notifications.
    if (socket_->bytesAvailable() > 0)
        postReadMore();
    notified([this] {
        Connected = true;
        fire(OnConnect, this);
    });
}

void TPowersock::onConnectorFailed() {
    const ConnectOutcome& outcome = connector_->outcome();
    connectFailed_ = true;
    EventOk = false;
    RemoteAddress = outcome.remoteAddress;
    Trouble = outcome.trouble;
    TroubleDetail = outcome.troubleDetail;
    failureText_ = outcome.failureText;
    failureSocketText_ = outcome.socketErrorText;
    if (outcome.socketError)
        LastErrorNo = platformError_ = SocketErrorTable::codeFor(*outcome.socketError);
}

void TPowersock::onReadyRead() {
    notified([this] { ReadToStream(); });
}

void TPowersock::onBytesWritten() {
    notified([this] { WriteFromStream(); });
}

void TPowersock::onDisconnected() {
    notified([this] {
        // Keep what the peer sent before it closed: a reply is often followed by the close at once.
        while (socket_ && !Canceled && socket_->bytesAvailable() > 0) {
            const QByteArray chunk = socket_->read(TransferChunk);
            if (chunk.isEmpty())
                break;
            appendReceived(chunk);
            if (CountBytes)
                BytesRecvd += quint32(chunk.size());
        }
        peerClosed_ = true;
        if (!replied_ && !received_.hasLine())
            noteTrouble(ConnectionTrouble::ClosedBeforeReply, {});
        Connected = false;
        if (socket_)
            CloseSocket();
    });
}

void TPowersock::onSocketError(int error) {
    if (notificationsOff_)
        return;
    const auto socketError = QAbstractSocket::SocketError(error);
    // The peer closing is the ordinary end of a connection, reported by onDisconnected.
    if (socketError == QAbstractSocket::RemoteHostClosedError)
        return;
    EventOk = false;
    LastErrorNo = platformError_ = SocketErrorTable::codeFor(socketError);
}

// The first trouble seen is the one that counts: the rest follows from it.
void TPowersock::noteTrouble(ConnectionTrouble trouble, const QString& detail) {
    if (Trouble != ConnectionTrouble::None)
        return;
    Trouble = trouble;
    TroubleDetail = detail;
}

void TPowersock::onLookupDone(int lookupId, const QList<QHostAddress>& addresses) {
    if (lookupId != lookupId_ && lookupId_ != LookupStarting)
        return; // a lookup we gave up on
    lookupId_ = -1;
    const bool ok = !addresses.isEmpty();
    EventOk = ok;
    addresses_ = addresses;
    if (!ok)
        LastErrorNo = platformError_ = SocketErrorTable::HostNotFound;
    LookupDone = true;
}

void TPowersock::abortLookup() {
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
}

void TPowersock::postPump(void (TPowersock::*pump)()) {
    QMetaObject::invokeMethod(
        this,
        [this, pump] {
            try {
                (this->*pump)();
            } catch (...) {
            }
        },
        Qt::QueuedConnection);
}

void TPowersock::postReadMore() {
    postPump(&TPowersock::ReadToStream);
}

void TPowersock::postWriteMore() {
    postPump(&TPowersock::WriteFromStream);
}

// ---- the two buffer pumps ------------------------------------------------------------------

void TPowersock::appendReceived(const QByteArray& bytes) {
    if (captureFile_) {
        captureFile_->write(bytes);
        return;
    }
    received_.append(bytes);
    // What piles up unread with no line end in it is one line too long, whoever reads it.
    if (!capturing_ && received_.size() > LongestUnread)
        cutOff(lineTooLong() ? lineTooLongText()
                             : QStringLiteral("The server sent more than %1 bytes that nobody asked for")
                                   .arg(LongestUnread));
}

QString TPowersock::lineTooLongText() {
    return QStringLiteral("The server's reply line is longer than %1 bytes").arg(LongestLine);
}

void TPowersock::cutOff(const QString& why) {
    cutOffBecause_ = why;
    peerClosed_ = true;
    received_.clear();
    CloseSocket();
}

void TPowersock::raiseClosed() const {
    if (!cutOffBecause_.isEmpty())
        throw ELineTooLong(cutOffBecause_);
    throw ESockError(ClosedEarly);
}

bool TPowersock::lineTooLong() const {
    return !received_.hasLine() && received_.size() > LongestLine;
}

void TPowersock::ReadToStream() {
    if (Canceled) {
        notificationsOff_ = true;
        fire(CancelHook);
    }
    if (Busy) {
        // Not dropped: a notification swallowed here would never come again for this data.
        readAgain_ = true;
        return;
    }
    Busy = true;
    qint64 n = 0;
    try {
        StatusMessage(8, QStringLiteral("ReadToStream"));
        QByteArray chunk(TransferChunk, Qt::Uninitialized);
        n = socket_ && socket_->isReadable() ? socket_->read(chunk.data(), TransferChunk) : 0;
        if (n < 0) {
            LastErrorNo = platformError_ = SocketErrorTable::codeFor(socket_->error());
            fire(ErrorHook, this, LastErrorNo, SocketErrorText(LastErrorNo));
        } else if (n > 0) {
            chunk.truncate(n);
            appendReceived(chunk);
            if (CountBytes) {
                BytesRecvd += quint32(n);
                fire(OnPacketRecvd, this);
            }
            if (n == TransferChunk)
                postReadMore();
        }
    } catch (...) {
        Busy = false;
        throw;
    }
    Busy = false;
    if (std::exchange(writeAgain_, false))
        postWriteMore();
    if (std::exchange(readAgain_, false))
        postReadMore();
}

bool TPowersock::somethingToSend() const {
    if (FromFile)
        return sendFile_ && sendFilePos_ < sendFile_->size();
    return !toSend_.isEmpty();
}

qint64 TPowersock::bytesWaiting() const {
    return socket_ ? socket_->bytesToWrite() : 0;
}

void TPowersock::countSent(qint64 n) {
    BytesSent = saturated32(qint64(BytesSent) + n);
    if (CountBytes)
        fire(OnPacketSent, this);
}

void TPowersock::WriteFromStream() {
    if (Busy) {
        writeAgain_ = true;
        return;
    }
    Busy = true;
    try {
        StatusMessage(8, QStringLiteral("WriteFromStream"));
        // One chunk at a time, and the next only when Qt has handed the last one to the system:
        // that keeps a large file out of memory and makes SendDone mean "on its way".
        if (somethingToSend() && !Canceled && bytesWaiting() == 0) {
            QByteArray chunk;
            if (FromFile) {
                sendFile_->seek(sendFilePos_);
                chunk = sendFile_->read(TransferChunk);
            } else {
                chunk = toSend_.peek(TransferChunk);
            }
            const qint64 n = socket_ && socket_->isWritable() ? socket_->write(chunk) : -1;
            if (n < 0) {
                // Left queued; a later write notification, or a cancellation, ends the wait.
                LastErrorNo = platformError_ = socket_ && socket_->state() == QAbstractSocket::ConnectedState
                                                   ? SocketErrorTable::codeFor(socket_->error())
                                                   : SocketErrorTable::NotConnected;
            } else {
                if (FromFile)
                    sendFilePos_ += n;
                else
                    toSend_.drop(n);
                socket_->flush();
                countSent(n);
                if (somethingToSend())
                    postWriteMore();
            }
        }
        if (!somethingToSend() && bytesWaiting() == 0) {
            if (!FromFile)
                toSend_.clear();
            SendDone = true;
        }
    } catch (...) {
        Busy = false;
        throw;
    }
    Busy = false;
    if (std::exchange(readAgain_, false))
        postReadMore();
    if (std::exchange(writeAgain_, false))
        postWriteMore();
}

// ---- time-out timer ------------------------------------------------------------------------

void TPowersock::TimerOn() {
    StatusMessage(8, QStringLiteral("Timer On"));
    TimerExpired = false;
    timer_->SetInterval(TimeOut > 0 ? quint32(TimeOut) : 0);
    timer_->SetEnabled(true);
}

void TPowersock::TimerOff() {
    StatusMessage(8, QStringLiteral("Timer Off"));
    timer_->SetEnabled(false);
}

void TPowersock::timerTick() {
    StatusMessage(8, QStringLiteral("Timer Triggered"));
    TimerOff();
    TimerExpired = true;
    Abort();
}

// ---- connecting ----------------------------------------------------------------------------

void TPowersock::ResolveHost() {
    StatusMessage(8, QStringLiteral("Resolve Host"));
    // The whole name goes to the resolver, however long: cutting it would look up another host.
    const QString name = HostAddresses::bare(Proxy.isEmpty() ? Host : Proxy);
    // An address needs no lookup, and gets none: no event fires for it.
    if (QHostAddress literal; literal.setAddress(name)) {
        addresses_ = {literal};
        RemoteAddress = literal;
        return;
    }
    addresses_.clear();
    RemoteAddress.clear();
    TimerOn();
    LookupDone = false;
    abortLookup();
    // Qt may answer from its cache before lookupHost returns; LookupStarting lets that through.
    lookupId_ = LookupStarting;
    const int id = QHostInfo::lookupHost(name, this, [this](const QHostInfo& info) {
        onLookupDone(info.lookupId(), info.error() == QHostInfo::NoError
                                          ? HostAddresses::inOrder(info.addresses())
                                          : QList<QHostAddress>());
    });
    if (!LookupDone)
        lookupId_ = id;
    EventWait::until([this] { return LookupDone || TimerExpired || Canceled; });
    TimerOff();
    abortLookup();
    if (TimerExpired)
        throw ESockError(QStringLiteral("Host Lookup Timed Out"));
    if (Canceled)
        throw ESockError(QStringLiteral("Host Lookup Canceled"));
    if (!EventOk || addresses_.isEmpty())
        throw ESockError(HostLookupFailed);
    RemoteAddress = addresses_.first();
    fire(OnHostResolved, this);
}

void TPowersock::Connect() {
    StatusMessage(8, QStringLiteral("Connecting"));
    Canceled = false;
    if (Connected)
        throw ESockError(QStringLiteral("Already connected"));
    // Every connect starts clean: no half-open attempt of an earlier failed connect, and no
    // bytes of an earlier connection that could be taken for the new peer's.
    dropSocket();
    received_.clear();
    toSend_.clear();
    Trouble = ConnectionTrouble::None;
    TroubleDetail.clear();
    PeerCertificateExpiry = QDateTime();
    peerClosed_ = false;
    replied_ = false;
    cutOffBecause_.clear();

    for (int retry = 0;; ++retry) {
        try {
            ResolveHost();
        } catch (const ESockError& e) {
            if (QString::fromUtf8(e.what()) != HostLookupFailed)
                throw;
        }
        if (!RemoteAddress.isNull())
            break;
        bool handled = false;
        if (retry == 0 && OnInvalidHost)
            fire(OnInvalidHost, handled);
        if (!handled)
            throw ESockError(QStringLiteral("Null Remote Address"));
    }

    LookupDone = false;
    if (awaitConnector([this] { connector_->start(target(), addresses_); }))
        return;
    fire(OnConnectionFailed, this);
    if (TimerExpired)
        throw ESockError(QStringLiteral("Connection Timed out"));
    if (Canceled)
        throw ESockError(QStringLiteral("Connection Canceled"));
    throw ESockError(failureText_);
}

bool TPowersock::awaitConnector(const std::function<void()>& begin) {
    Connected = false;
    connectFailed_ = false;
    TimerOn();
    begin();
    // A peer may close, or be cut off, before the wait sees that it was connected: the next read
    // says why.
    EventWait::until(
        [this] { return Connected || peerClosed_ || connectFailed_ || TimerExpired || Canceled; });
    TimerOff();
    if ((Connected || peerClosed_) && !TimerExpired && !Canceled)
        return true;
    // A late answer to the abandoned attempt must not make the session look connected.
    dropSocket();
    Connected = false;
    return false;
}

void TPowersock::StartTls() {
    if (!Connected || !socket_)
        throw ESockError(QStringLiteral("Not connected"));
    if (!tlsSocket())
        throw ESockError(QStringLiteral("This connection was not made ready for TLS"));
    // Bytes that came in the clear must not pass for part of the protected conversation.
    received_.clear();
    Secure = true;
    Trouble = ConnectionTrouble::None;
    TroubleDetail.clear();
    failureSocketText_.clear();
    // The handshake runs as the last step of a connect: Connected again once it is through.
    disconnect(socket_, nullptr, this, nullptr);
    QTcpSocket* plain = std::exchange(socket_, nullptr);
    if (awaitConnector([&] { connector_->startTls(plain, target()); }))
        return;
    throw ESockError(TimerExpired ? QStringLiteral("TLS handshake timed out")
                     : Canceled   ? QStringLiteral("TLS handshake canceled")
                                  : QStringLiteral("TLS failed: ") +
                                      (TroubleDetail.isEmpty() ? failureSocketText_ : TroubleDetail));
}

bool TPowersock::Encrypted() const {
    const QSslSocket* tls = tlsSocket();
    return Connected && tls && tls->isEncrypted();
}

void TPowersock::CloseSocket() {
    StatusMessage(4, QStringLiteral("Request Close Socket"));
    Connected = false;
    // The server's ticket for this session comes with its first reply, so it is there by now.
    if (QSslSocket* tls = tlsSocket(); tls && Secure)
        connector_->keepTicket(*tls);
    dropSocket();
    if (!Destroying)
        fire(OnDisconnect, this);
}

void TPowersock::Disconnect() {
    StatusMessage(8, QStringLiteral("Disconnecting"));
    CloseSocket();
}

void TPowersock::Cancel() {
    StatusMessage(8, QStringLiteral("Canceling"));
    Canceled = true;
}

void TPowersock::Abort() {}

// ---- sending -------------------------------------------------------------------------------

void TPowersock::sendBytes(const QByteArray& bytes) {
    StatusMessage(4, QStringLiteral("Sending Buffer"));
    if (Canceled)
        return;
    toSend_.append(bytes);
    SendDone = false;
    postWriteMore();
    waitUntilSent();
    if (Canceled) {
        Canceled = false;
        throw EAbortError(QStringLiteral("Socket send aborted"));
    }
}

void TPowersock::SendBuffer(const QByteArray& bytes, int length) {
    if (length < 0 || length > LongestBuffer)
        throw std::out_of_range("Range check error");
    if (length == 0) {
        const qsizetype zero = bytes.indexOf('\0');
        sendBytes(zero < 0 ? bytes : bytes.left(zero));
    } else {
        sendBytes(bytes.left(length));
    }
}

void TPowersock::Write(const QString& text) {
    StatusMessage(8, QStringLiteral("Write"));
    // All of it: a long mail header or request must never be cut.
    sendBytes(text.toLatin1());
}

void TPowersock::Writeln(const QString& text) {
    StatusMessage(8, QStringLiteral("Writeln"));
    Write(text + QStringLiteral("\r\n"));
}

void TPowersock::SendStream(QIODevice& stream) {
    CountBytes = true;
    StatusMessage(8, QStringLiteral("SendStream"));
    runTransfer(
        [&] {
            if (Canceled)
                return;
            if (!stream.isSequential())
                stream.seek(0);
            StatusMessage(8, QStringLiteral("SendFile"));
            BytesSent = 0;
            const QByteArray all = stream.readAll();
            BytesTotal = saturated32(all.size());
            toSend_.append(all);
            SendDone = false;
            postWriteMore();
            waitUntilSent();
        },
        QStringLiteral("Socket send aborted"));
}

void TPowersock::SendFile(const QString& fileName) {
    StatusMessage(8, QStringLiteral("SendFile"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(file);
    CountBytes = true;
    FromFile = true;
    sendFile_ = &file;
    sendFilePos_ = 0;
    SendDone = false;
    BytesSent = 0;
    BytesTotal = saturated32(file.size());
    postWriteMore();
    runTransfer([this] { waitUntilSent([this] { return BytesTotal <= 0; }); },
                QStringLiteral("Socket send aborted"));
}

void TPowersock::waitUntilSent(const std::function<bool()>& alsoDone) {
    const auto done = [&] { return SendDone || Canceled || (alsoDone && alsoDone()); };
    EventWait::until([&] { return done() || peerClosed_; });
    // Whatever is still queued can never go.
    if (!done())
        raiseClosed();
}

// ---- receiving -----------------------------------------------------------------------------

QString TPowersock::ReadLn() {
    StatusMessage(8, QStringLiteral("ReadLn"));
    // A peer that closed with no complete line left can never give one; our own Disconnect ends
    // nothing here, only a cancellation does.
    EventWait::until([this] { return received_.hasLine() || Canceled || peerClosed_ || lineTooLong(); });
    if (Canceled)
        throw EAbortError(QStringLiteral("Socket readln aborted"));
    if (lineTooLong())
        cutOff(lineTooLongText());
    if (!received_.hasLine())
        raiseClosed();
    replied_ = true;
    return QString::fromLatin1(received_.takeLine());
}

QString TPowersock::CaptureString(int max) {
    QByteArray result;
    CountBytes = true;
    StatusMessage(8, QStringLiteral("Capture String"));
    BytesRecvd = 0;
    capturing_ = true;
    const auto done = qScopeGuard([this] { capturing_ = false; });
    runTransfer(
        [&] {
            while (!Canceled) {
                const bool more = max < 0 ? (Connected || !received_.isEmpty()) : result.size() < max;
                if (!more)
                    break;
                if (received_.isEmpty())
                    EventWait::once();
                else
                    result.append(received_.takeAll());
            }
        },
        QStringLiteral("Socket capture aborted"));
    return QString::fromLatin1(result);
}

void TPowersock::CaptureFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError::cannotCreate(file);
    CountBytes = true;
    FromFile = true;
    StatusMessage(8, QStringLiteral("CaptureFile"));
    BytesRecvd = quint32(received_.size());
    file.write(received_.takeAll());
    captureFile_ = &file;
    runTransfer([this] { EventWait::until([this] { return !Connected || Canceled; }); },
                QStringLiteral("Socket capture aborted"));
}

void TPowersock::runTransfer(const std::function<void()>& transfer, const QString& abortText) {
    auto clear = [this] {
        sendFile_ = nullptr;
        captureFile_ = nullptr;
        CountBytes = false;
        FromFile = false;
    };
    try {
        transfer();
    } catch (...) {
        clear();
        throw;
    }
    clear();
    // A canceled transfer is half done (a file half sent or half written): say so instead of
    // returning as if it were complete.
    if (Canceled) {
        Canceled = false;
        throw EAbortError(abortText);
    }
}

QString TPowersock::Transaction(const QString& command) {
    StatusMessage(8, QStringLiteral("Transaction"));
    ReplyNumber = 0;
    Writeln(command);
    const QString reply = ReadLn();
    TakeReply(reply);
    return reply;
}

void TPowersock::TakeReply(const QString& reply) {
    LastReply = reply;
    if (reply.isEmpty())
        return;
    StatusMessage(1, reply);
    qsizetype digits = 0;
    while (digits < reply.size() && digits < 10 && reply[digits].isDigit() && reply[digits].unicode() < 128)
        ++digits;
    if (digits > 0) {
        const qint64 value = reply.left(digits).toLongLong();
        if (value > std::numeric_limits<qint16>::max())
            throw std::out_of_range("Range check error");
        ReplyNumber = qint16(value);
    }
}

// ---- the rest ------------------------------------------------------------------------------

void TPowersock::RequireConnection() {
    for (int retry = 0;; ++retry) {
        if (Connected)
            return;
        if (retry > 0 || !OnConnectionRequired)
            throw std::runtime_error("Not Connected");
        bool handled = false;
        fire(OnConnectionRequired, handled);
        if (!handled)
            throw std::runtime_error("Not Connected");
    }
}

QString TPowersock::RemoteIP() const {
    return RemoteAddress.isNull() ? QStringLiteral("0.0.0.0") : RemoteAddress.toString();
}

QString TPowersock::LocalIP() {
    return LocalAddress::ipv4();
}

QString TPowersock::SocketErrorText(quint32 code) {
    StatusMessage(8, QStringLiteral("Looking Up Error Message"));
    const QString text = SocketErrorTable::message(code);
    if (text.isNull())
        return QStringLiteral("Unknown Error No. %1").arg(code);
    return QStringLiteral("%1:%2").arg(code).arg(text);
}

QString TPowersock::CheckError(quint32 acceptedCode) {
    StatusMessage(16, QStringLiteral("Checking Error In Error Manager"));
    LastErrorNo = platformError_;
    if (LastErrorNo == acceptedCode)
        return {};
    const QString text = SocketErrorText(LastErrorNo);
    fire(ErrorHook, this, LastErrorNo, text);
    throw ESockError(text);
}

void TPowersock::StatusMessage(int level, const QString& text) {
    if (ReportLevel < level)
        return;
    Status = text;
    if (!Destroying)
        fire(OnStatus, this, Status);
}
