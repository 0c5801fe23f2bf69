#include "net/PageFetch.h"

#include "net/HostAddresses.h"
#include "net/HostLookups.h"
#include "net/RequestBuilder.h"
#include "net/ResponseHeaderReader.h"
#include "net/TlsWarmUp.h"
#include "net/UrlParser.h"

#include <QSignalBlocker>
#include <QSslCertificate>
#include <QSslSocket>
#include <exception>

namespace {
const QString ClosedEarly = QStringLiteral("Connection closed before a complete reply");
}

PageFetch::PageFetch(HostLookups& lookups, TlsTickets& tickets, QObject* parent)
    : QObject(parent), lookups_(lookups), tls_(tickets) {}

PageFetch::~PageFetch() {
    stop();
}

QSslSocket* PageFetch::tlsSocket() const {
    return qobject_cast<QSslSocket*>(socket_);
}

void PageFetch::start(const FetchRequest& request) {
    stop();
    request_ = request;
    result_ = {};
    result_.proxy = request.proxy;
    result_.proxyPort = request.proxyPort;
    headerEnd_.reset();
    received_.clear();
    failureText_.clear();
    phase_ = Phase::LookingUp;
    try {
        const ParsedUrl parsed = UrlParser::parse(request.url, QString(), 80);
        result_.url = parsed.url;
        result_.host = parsed.host;
        result_.port = parsed.port;
        secure_ = parsed.scheme == QLatin1String("https");
        const QString method = request.headerByGet ? QStringLiteral("GET") : QStringLiteral("HEAD");
        // Through a tunnel the server gets the request a direct one would: the proxy never sees it.
        const TExStringList lines = RequestBuilder::build(
            {method, parsed.url, parsed.path, parsed.host, secure_ ? QString() : request.proxy},
            request.headerInfo);
        requestBytes_.clear();
        for (const QString& line : lines)
            requestBytes_ += line.toLatin1() + "\r\n";
    } catch (const std::exception& error) {
        return finishSoon(QString::fromUtf8(error.what()));
    }
    if (!secure_)
        return lookUp();
    const quint64 generation = generation_;
    TlsWarmUp::whenReady(this, [this, generation] {
        if (generation == generation_ && phase_ == Phase::LookingUp)
            lookUp();
    });
}

void PageFetch::stop() {
    ++generation_;
    phase_ = Phase::Idle;
    tunnel_.reset();
    dropSocket();
}

void PageFetch::dropSocket() {
    if (!socket_)
        return;
    disconnect(socket_, nullptr, this, nullptr);
    {
        const QSignalBlocker quiet(socket_);
        socket_->abort();
    }
    // Perhaps inside one of its own notifications.
    socket_->deleteLater();
    socket_ = nullptr;
}

void PageFetch::lookUp() {
    const quint64 generation = generation_;
    lookups_.find(request_.proxy.isEmpty() ? result_.host : request_.proxy, this,
                  [this, generation](const QList<QHostAddress>& addresses) {
                      if (generation == generation_ && phase_ == Phase::LookingUp)
                          resolved(addresses);
                  });
}

void PageFetch::resolved(const QList<QHostAddress>& addresses) {
    if (addresses.isEmpty()) {
        result_.invalidHost = true;
        return fail(QStringLiteral("Null Remote Address"));
    }
    addresses_ = addresses;
    nextAddress_ = 0;
    attemptNext();
}

void PageFetch::attemptNext() {
    const qint32 port = request_.proxy.isEmpty() ? result_.port : request_.proxyPort;
    if (nextAddress_ >= addresses_.size() || port < 1 || port > 65535)
        return fail(failureText_.isEmpty() ? QStringLiteral("Connection Failed") : failureText_);
    dropSocket();
    const QHostAddress address = addresses_[nextAddress_++];
    result_.remoteAddress = address;
    result_.trouble = ConnectionTrouble::None;
    result_.troubleDetail.clear();
    failureText_.clear();
    phase_ = Phase::Connecting;
    socket_ = secure_ ? new QSslSocket(this) : new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &PageFetch::onConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &PageFetch::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &PageFetch::onDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &PageFetch::onError);
    if (QSslSocket* tls = tlsSocket()) {
        connect(tls, &QSslSocket::encrypted, this, [this] {
            result_.certificateExpiry = tlsSocket()->peerCertificate().expiryDate();
            sendRequest();
        });
        connect(tls, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
            const TlsClient::Verdict verdict = tls_.judge(*tlsSocket(), errors);
            if (verdict.trouble == ConnectionTrouble::None)
                return;
            noteTrouble(verdict.trouble, verdict.reason);
            attemptFailed();
        });
    }
    socket_->connectToHost(address, quint16(port));
}

void PageFetch::onConnected() {
    if (!secure_)
        return sendRequest();
    if (request_.proxy.isEmpty())
        return startTls();
    // The proxy is asked for a tunnel first; TLS goes through it once it stands.
    phase_ = Phase::Tunnel;
    tunnel_ = std::make_unique<ProxyTunnel>();
    tunnel_->ask(*socket_, result_.host, result_.port);
}

void PageFetch::startTls() {
    phase_ = Phase::Handshake;
    tls_.start(*tlsSocket(), HostAddresses::bare(result_.host), quint16(result_.port), request_.acceptUntrusted);
}

void PageFetch::sendRequest() {
    phase_ = Phase::Reply;
    socket_->write(requestBytes_);
}

void PageFetch::onReadyRead() {
    if (phase_ == Phase::Tunnel)
        return readTunnelReply();
    if (phase_ != Phase::Reply)
        return;
    const QByteArray bytes = socket_->readAll();
    received_.append(bytes);
    headerEnd_.feed(bytes);
    if (headerEnd_.complete())
        finish();
}

void PageFetch::readTunnelReply() {
    if (!tunnel_->read(*socket_))
        return;
    const std::unique_ptr<ProxyTunnel> tunnel = std::move(tunnel_);
    if (tunnel->opened())
        return startTls();
    failureText_ = tunnel->refusal();
    noteTrouble(ConnectionTrouble::Refused, tunnel->statusLine());
    attemptFailed();
}

void PageFetch::onDisconnected() {
    switch (phase_) {
    case Phase::Reply:
        // What the server sent before it closed still counts: a reply is often followed by the
        // close at once.
        onReadyRead();
        if (phase_ != Phase::Reply)
            return;
        if (!received_.hasLine())
            noteTrouble(ConnectionTrouble::ClosedBeforeReply, {});
        return fail(ClosedEarly);
    case Phase::Tunnel:
    case Phase::Handshake:
        // Hung up on in the middle of the tunnel or the handshake.
        noteTrouble(tunnel_ ? ConnectionTrouble::ClosedBeforeReply : ConnectionTrouble::SecureFailed,
                    socket_->errorString());
        return attemptFailed();
    default:
        return;
    }
}

void PageFetch::onError(QAbstractSocket::SocketError error) {
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
    if (phase_ == Phase::Reply)
        return onDisconnected();
    attemptFailed();
}

// The first trouble seen is the one that counts: the rest follows from it.
void PageFetch::noteTrouble(ConnectionTrouble trouble, const QString& detail) {
    if (result_.trouble != ConnectionTrouble::None)
        return;
    result_.trouble = trouble;
    result_.troubleDetail = detail;
}

void PageFetch::attemptFailed() {
    if (phase_ == Phase::Idle)
        return;
    // Once an address took the connection, what followed on it decides: no other is tried.
    if (phase_ == Phase::Connecting)
        return attemptNext();
    fail(failureText_.isEmpty() ? QStringLiteral("Connection Failed") : failureText_);
}

// The status line and the fields up to the blank line that ends them, each with its line end.
void PageFetch::takeHeader() {
    if (!received_.hasLine())
        return;
    const QString status = QString::fromLatin1(received_.takeLine());
    result_.replyNumber = ResponseHeaderReader::replyNumber(status);
    result_.header = status;
    ResponseHeaderReader reader;
    while (received_.hasLine()) {
        const QString line = QString::fromLatin1(received_.takeLine());
        const bool end = reader.takeLine(line);
        result_.header += line;
        if (end)
            break;
    }
    result_.cookieIn = reader.CookieIn;
}

void PageFetch::fail(const QString& errorText) {
    result_.errorText = errorText;
    finish();
}

void PageFetch::finishSoon(const QString& errorText) {
    result_.errorText = errorText;
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_)
                finish();
        },
        Qt::QueuedConnection);
}

void PageFetch::finish() {
    if (phase_ == Phase::Idle)
        return;
    takeHeader();
    // The server's ticket for this session came with its reply: the next request resumes it.
    if (QSslSocket* tls = tlsSocket(); tls && tls->isEncrypted())
        tls_.keepTicket(*tls);
    stop();
    emit finished();
}
