#include "net/PageFetch.h"

#include "net/LaterCall.h"

#include "net/DiscardSocket.h"
#include "net/HostAddresses.h"
#include "net/HostLookups.h"
#include "net/RequestBuilder.h"
#include "net/TlsWarmUp.h"
#include "net/UrlParser.h"

#include <QSslSocket>
#include <exception>
#include <new>

namespace {
const QString ClosedEarly = QStringLiteral("Connection closed before a complete reply");

// Answers that have no body whatever their header says.
bool bodyless(const FetchRequest& request, int reply) {
    return !request.headerByGet || reply == 204 || reply == 304;
}
} // namespace

PageFetch::PageFetch(HostLookups& lookups, TlsTickets& tickets, QObject* parent)
    : QObject(parent), lookups_(lookups), connector_(tickets) {
    connect(&connector_, &Connector::connected, this, &PageFetch::onConnected);
    connect(&connector_, &Connector::failed, this, &PageFetch::onConnectFailed);
}

PageFetch::~PageFetch() {
    stop();
}

void PageFetch::start(const FetchRequest& request) {
    stop();
    request_ = request;
    result_ = {};
    result_.proxy = request.proxy;
    result_.proxyPort = request.proxyPort;
    header_.clear();
    bodyLeft_ = -1;
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
            request.headerInfo, request.extraHeaders);
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
    connector_.stop();
    discardSocket(socket_, this);
}

void PageFetch::lookUp() {
    const quint64 generation = generation_;
    phaseClock_.start();
    lookups_.find(request_.proxy.isEmpty() ? result_.host : request_.proxy, this,
                  [this, generation](const QList<QHostAddress>& addresses) {
                      if (generation == generation_ && phase_ == Phase::LookingUp)
                          resolved(addresses);
                  });
}

void PageFetch::resolved(const QList<QHostAddress>& addresses) {
    // An address is not looked up.
    const QString name = HostAddresses::bare(request_.proxy.isEmpty() ? result_.host : request_.proxy);
    if (QHostAddress literal; !literal.setAddress(name))
        result_.lookupMs = phaseClock_.elapsed();
    if (addresses.isEmpty()) {
        result_.invalidHost = true;
        return fail(QStringLiteral("Null Remote Address"));
    }
    phase_ = Phase::Connecting;
    connector_.start({result_.host, result_.port, request_.proxy, request_.proxyPort, secure_, false,
                      request_.acceptUntrusted},
                     addresses);
}

void PageFetch::takeConnection() {
    const ConnectOutcome& outcome = connector_.outcome();
    result_.remoteAddress = outcome.remoteAddress;
    result_.trouble = outcome.trouble;
    result_.troubleDetail = outcome.troubleDetail;
    result_.certificateExpiry = outcome.certificateExpiry;
    result_.connectMs = outcome.connectMs;
    result_.tlsMs = outcome.tlsMs;
}

void PageFetch::onConnectFailed() {
    takeConnection();
    fail(connector_.outcome().failureText);
}

void PageFetch::onConnected() {
    takeConnection();
    socket_ = connector_.take(this);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { guarded(&PageFetch::onReadyRead); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { guarded(&PageFetch::onDisconnected); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The ordinary end of a connection is seen by onDisconnected.
        if (error != QAbstractSocket::RemoteHostClosedError)
            guarded(&PageFetch::onDisconnected);
    });
    phase_ = Phase::Reply;
    socket_->write(requestBytes_);
    phaseClock_.start();
    emit requested();
    // What the server sent with the handshake raised no notification of ours.
    if (phase_ == Phase::Reply && socket_->bytesAvailable() > 0)
        guarded(&PageFetch::onReadyRead);
}

void PageFetch::guarded(void (PageFetch::*reaction)()) {
    try {
        (this->*reaction)();
    } catch (const std::bad_alloc&) {
        // What was held is given back first, so the failure itself has room to be told.
        header_.clear();
        fail(QStringLiteral("not enough memory for the response"));
    }
}

void PageFetch::onReadyRead() {
    if (phase_ == Phase::Reply)
        readHeader();
    else if (phase_ == Phase::Body)
        readBody();
}

void PageFetch::readHeader() {
    const QByteArray bytes = socket_->readAll();
    if (!bytes.isEmpty() && !result_.firstByteMs)
        result_.firstByteMs = phaseClock_.elapsed();
    header_.feed(bytes);
    // A server that never ends its header is cut off at once, not when the time is up.
    if (header_.tooLarge())
        return fail(QStringLiteral("response header too large"));
    if (!header_.complete())
        return;
    // The server's ticket for this session came with its reply: the next request resumes it.
    if (auto* tls = qobject_cast<QSslSocket*>(socket_); tls && tls->isEncrypted())
        connector_.keepTicket(*tls);
    if (!request_.readBody)
        return finish();
    header_.takeInto(result_);
    const bool hasBody = !bodyless(request_, result_.replyNumber);
    bodyLeft_ = !hasBody ? 0 : result_.lengthDeclared && !result_.chunked ? result_.bytesTotal : -1;
    chunks_.reset();
    if (hasBody && result_.chunked)
        chunks_.emplace();
    phase_ = Phase::Body;
    const quint64 generation = generation_;
    emit headerReceived();
    // What came with the header is the body's start.
    if (generation == generation_)
        passBody(header_.takeBodyStart());
}

void PageFetch::readBody() {
    passBody(socket_->readAll());
}

void PageFetch::passBody(QByteArray bytes) {
    if (chunks_) {
        bytes = chunks_->feed(bytes);
        if (chunks_->malformed())
            return fail(QStringLiteral("malformed chunked body"));
    } else if (bodyLeft_ >= 0) {
        // Whatever follows the declared length belongs to no answer of ours.
        bytes.truncate(qMin<qint64>(bytes.size(), bodyLeft_));
        bodyLeft_ -= bytes.size();
    }
    const quint64 generation = generation_;
    if (!bytes.isEmpty())
        emit bodyReceived(bytes);
    if (generation == generation_ && (bodyLeft_ == 0 || (chunks_ && chunks_->finished())))
        finish();
}

void PageFetch::onDisconnected() {
    if (phase_ == Phase::Body) {
        // The close ends the body: everything before it counts.
        const quint64 generation = generation_;
        readBody();
        if (generation == generation_)
            finish();
        return;
    }
    if (phase_ != Phase::Reply)
        return;
    // What the server sent before it closed still counts: a reply is often followed by the close
    // at once.
    readHeader();
    if (phase_ != Phase::Reply)
        return;
    if (!header_.hasLine() && result_.trouble == ConnectionTrouble::None) {
        result_.trouble = ConnectionTrouble::ClosedBeforeReply;
        result_.troubleDetail.clear();
    }
    fail(ClosedEarly);
}

void PageFetch::fail(const QString& errorText) {
    result_.errorText = errorText;
    finish();
}

void PageFetch::finishSoon(const QString& errorText) {
    result_.errorText = errorText;
    callLater(this, generation_, [this] { finish(); });
}

void PageFetch::finish() {
    if (phase_ == Phase::Idle)
        return;
    // What came of the header counts, even of one cut short.
    header_.takeInto(result_);
    stop();
    emit finished();
}
