#include "net/Connector.h"

#include "net/DiscardSocket.h"
#include "net/HostAddresses.h"

#include <QSslCertificate>
#include <QSslSocket>

Connector::Connector(TlsTickets& tickets, QObject* parent) : QObject(parent), tls_(tickets) {}

Connector::~Connector() {
    stop();
}

QSslSocket* Connector::tlsSocket() const {
    return qobject_cast<QSslSocket*>(socket_);
}

void Connector::start(const ConnectTarget& target, const QList<QHostAddress>& addresses) {
    stop();
    target_ = target;
    outcome_ = {};
    addresses_ = addresses;
    nextAddress_ = 0;
    phase_ = Phase::Connecting;
    // Whoever started us hears the answer after start returns, even when it is known at once.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (phase_ == Phase::Connecting && !socket_)
                attemptNext();
        },
        Qt::QueuedConnection);
}

void Connector::startTls(QTcpSocket* socket, const ConnectTarget& target) {
    stop();
    target_ = target;
    target_.secure = true;
    outcome_ = {};
    outcome_.remoteAddress = socket->peerAddress();
    adopt(socket);
    phaseClock_.start();
    beginTls();
}

void Connector::stop() {
    phase_ = Phase::Idle;
    tunnel_.reset();
    discardSocket(socket_, this);
}

QTcpSocket* Connector::take(QObject* parent) {
    QTcpSocket* socket = std::exchange(socket_, nullptr);
    phase_ = Phase::Idle;
    if (socket) {
        disconnect(socket, nullptr, this, nullptr);
        socket->setParent(parent);
    }
    return socket;
}

void Connector::attemptNext() {
    const qint32 port = target_.dialedPort();
    if (nextAddress_ >= addresses_.size())
        return fail();
    discardSocket(socket_, this);
    outcome_.remoteAddress = addresses_[nextAddress_++];
    outcome_.trouble = ConnectionTrouble::None;
    outcome_.troubleDetail.clear();
    outcome_.failureText.clear();
    if (port < 1 || port > 65535) {
        // No such port: fail like an address that cannot be dialled rather than dial a truncated number.
        outcome_.socketError = QAbstractSocket::SocketAddressNotAvailableError;
        return fail();
    }
    adopt(target_.secure || target_.tlsCapable ? new QSslSocket(this) : new QTcpSocket(this));
    phaseClock_.start();
    socket_->connectToHost(outcome_.remoteAddress, quint16(port));
}

void Connector::adopt(QTcpSocket* socket) {
    socket_ = socket;
    socket_->setParent(this);
    phase_ = Phase::Connecting;
    connect(socket_, &QTcpSocket::connected, this, &Connector::onConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &Connector::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &Connector::onDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Connector::onError);
    if (QSslSocket* tls = tlsSocket()) {
        connect(tls, &QSslSocket::encrypted, this, [this] {
            outcome_.tlsMs = phaseClock_.elapsed();
            outcome_.certificateExpiry = tlsSocket()->peerCertificate().expiryDate();
            succeed();
        });
        connect(tls, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
            const TlsClient::Verdict verdict = tls_.judge(*tlsSocket(), errors);
            if (verdict.trouble == ConnectionTrouble::None)
                return;
            noteTrouble(verdict.trouble, verdict.reason);
            attemptFailed();
        });
    }
}

void Connector::onConnected() {
    outcome_.connectMs = phaseClock_.restart();
    if (!target_.secure)
        return succeed();
    if (target_.proxy.isEmpty())
        return beginTls();
    // The proxy is asked for a tunnel first; TLS goes through it once it stands.
    phase_ = Phase::Tunnel;
    tunnel_ = std::make_unique<ProxyTunnel>();
    tunnel_->ask(*socket_, target_.host, target_.port);
}

void Connector::beginTls() {
    phase_ = Phase::Handshake;
    tls_.start(*tlsSocket(), HostAddresses::bare(target_.host), quint16(target_.port),
               target_.acceptUntrusted);
}

void Connector::onReadyRead() {
    // Only the proxy's answer is read here; what the server sends is the owner's.
    if (phase_ != Phase::Tunnel || !tunnel_->read(*socket_))
        return;
    const std::unique_ptr<ProxyTunnel> tunnel = std::move(tunnel_);
    if (tunnel->opened())
        return beginTls();
    if (tunnel->tooLarge()) {
        outcome_.failureText = QStringLiteral("proxy answer too large");
    } else {
        outcome_.failureText = tunnel->refusal();
        noteTrouble(ConnectionTrouble::Refused, tunnel->statusLine());
    }
    attemptFailed();
}

void Connector::onDisconnected() {
    if (phase_ != Phase::Tunnel && phase_ != Phase::Handshake)
        return;
    // Hung up on in the middle of the tunnel or the handshake.
    noteTrouble(tunnel_ ? ConnectionTrouble::ClosedBeforeReply : ConnectionTrouble::SecureFailed,
                socket_->errorString());
    attemptFailed();
}

void Connector::onError(QAbstractSocket::SocketError error) {
    outcome_.socketError = error;
    outcome_.socketErrorText = socket_->errorString();
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        return; // the ordinary end of a connection, seen by onDisconnected
    case QAbstractSocket::ConnectionRefusedError:
        noteTrouble(ConnectionTrouble::Refused, socket_->errorString());
        break;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        noteTrouble(ConnectionTrouble::SecureFailed, socket_->errorString());
        break;
    default:
        break;
    }
    attemptFailed();
}

// The first trouble seen is the one that counts: the rest follows from it.
void Connector::noteTrouble(ConnectionTrouble trouble, const QString& detail) {
    if (outcome_.trouble != ConnectionTrouble::None)
        return;
    outcome_.trouble = trouble;
    outcome_.troubleDetail = detail;
}

void Connector::attemptFailed() {
    if (phase_ == Phase::Idle || phase_ == Phase::Connected)
        return;
    // Once an address took the connection, what followed on it decides: no other is tried.
    if (phase_ == Phase::Connecting)
        return attemptNext();
    fail();
}

void Connector::fail() {
    if (outcome_.failureText.isEmpty())
        outcome_.failureText = QStringLiteral("Connection Failed");
    stop();
    emit failed();
}

void Connector::succeed() {
    phase_ = Phase::Connected;
    emit connected();
}
