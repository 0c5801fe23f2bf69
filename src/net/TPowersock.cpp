#include "net/TPowersock.h"

#include "net/DiscardSocket.h"
#include "net/ESockError.h"
#include "net/LocalAddress.h"
#include "net/ReplyNumber.h"
#include "net/SessionConnect.h"
#include "net/SessionPumps.h"
#include "net/SessionTransfers.h"
#include "net/SocketErrorTable.h"
#include "net/SocketLibrary.h"
#include "net/TThreadTimer.h"

#include <QSslSocket>
#include <stdexcept>

TPowersock::TPowersock(QObject* parent)
    : QObject(parent), pumps_(std::make_unique<SessionPumps>(*this)),
      transfers_(std::make_unique<SessionTransfers>(*this)) {
    StatusMessage(8, QStringLiteral("Create"));
    timer_ = new TThreadTimer(this);
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this](QObject*) { timerTick(); });
    StatusMessage(8, QStringLiteral("Initializing Winsock"));
    SocketLibraryInfo = socketLibraryDescription();
    link_ = new SessionConnect(*this);
}

TPowersock::~TPowersock() {
    // Whoever destroys a session has let its waits unwind first; nothing is reported any more.
    Destroying = true;
    Canceled = true;
    link_->abortLookup();
    timer_->SetEnabled(false);
    dropSocket();
    Connected = false;
}

QSslSocket* TPowersock::tlsSocket() const {
    return qobject_cast<QSslSocket*>(socket_);
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
    link_->stop();
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

void TPowersock::adoptSocket(QTcpSocket* socket) {
    socket_ = socket;
    wireSocket();
    // What came with the handshake was not seen by our own notifications.
    if (socket_->bytesAvailable() > 0)
        pumps_->postReadMore();
    notified([this] {
        Connected = true;
        fire(OnConnect, this);
    });
}

QTcpSocket* TPowersock::releaseSocket() {
    disconnect(socket_, nullptr, this, nullptr);
    return std::exchange(socket_, nullptr);
}

void TPowersock::onReadyRead() {
    notified([this] { ReadToStream(); });
}

void TPowersock::onBytesWritten() {
    notified([this] { WriteFromStream(); });
}

void TPowersock::onDisconnected() {
    notified([this] {
        pumps_->takeRest();
        peerClosed_ = true;
        if (!replied_ && !pumps_->received().hasLine())
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

void TPowersock::ReadToStream() {
    pumps_->readToStream();
}

void TPowersock::WriteFromStream() {
    pumps_->writeFromStream();
}

void TPowersock::ClearReceived() {
    pumps_->received().clear();
}

// ---- time-out timer ------------------------------------------------------------------------

void TPowersock::TimerOn(qint64 milliseconds) {
    StatusMessage(8, QStringLiteral("Timer On"));
    TimerExpired = false;
    timer_->SetInterval(milliseconds > 0 ? quint32(milliseconds) : 0);
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
    link_->resolveHost();
}

void TPowersock::Connect() {
    StatusMessage(8, QStringLiteral("Connecting"));
    Canceled = false;
    if (Connected)
        throw ESockError(QStringLiteral("Already connected"));
    link_->connectSession();
}

void TPowersock::StartTls() {
    link_->startTls();
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
        link_->keepTicket(*tls);
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

void TPowersock::SendBuffer(const QByteArray& bytes, int length) {
    transfers_->sendBuffer(bytes, length);
}

void TPowersock::Write(const QString& text) {
    StatusMessage(8, QStringLiteral("Write"));
    // All of it: a long mail header or request must never be cut.
    transfers_->sendBytes(text.toLatin1());
}

void TPowersock::Writeln(const QString& text) {
    StatusMessage(8, QStringLiteral("Writeln"));
    Write(text + QStringLiteral("\r\n"));
}

void TPowersock::SendStream(QIODevice& stream) {
    transfers_->sendStream(stream);
}

void TPowersock::SendFile(const QString& fileName) {
    transfers_->sendFile(fileName);
}

// ---- receiving -----------------------------------------------------------------------------

QString TPowersock::ReadLn() {
    return transfers_->readLine();
}

QString TPowersock::CaptureString(int max) {
    return transfers_->captureString(max);
}

void TPowersock::CaptureFile(const QString& fileName) {
    transfers_->captureFile(fileName);
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
    if (const std::optional<qint16> number = replyNumber(reply))
        ReplyNumber = *number;
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
