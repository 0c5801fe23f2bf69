#include "net/StreamProbe.h"

#include "net/LaterCall.h"

#include "net/DiscardSocket.h"
#include "net/HostAddresses.h"
#include "net/HostLookups.h"
#include "net/SessionPumps.h"
#include "net/TPowersock.h"
#include "net/TlsWarmUp.h"

#include <QHostInfo>
#include <QSslSocket>
#include <exception>
#include <new>

StreamProbe::StreamProbe(HostLookups& lookups, TlsTickets& tickets, QObject* parent)
    : Probe(parent), lookups_(lookups), connector_(tickets) {
    connect(&connector_, &Connector::connected, this, &StreamProbe::onConnected);
    connect(&connector_, &Connector::failed, this, &StreamProbe::onConnectFailed);
}

StreamProbe::~StreamProbe() {
    stop();
}

void StreamProbe::start(const FetchRequest& request) {
    stop();
    request_ = request;
    result_ = {};
    result_.url = request.url;
    reply_.clear();
    received_.clear();
    phase_ = Phase::LookingUp;
    try {
        address_ = StreamAddress::parse(request.url);
    } catch (const std::exception& error) {
        return finishSoon(QString::fromUtf8(error.what()));
    }
    result_.host = address_.host;
    result_.port = address_.port;
    if (address_.tls == StreamAddress::Tls::None)
        return lookUp();
    const quint64 generation = generation_;
    TlsWarmUp::whenReady(this, [this, generation] {
        if (generation == generation_ && phase_ == Phase::LookingUp)
            lookUp();
    });
}

void StreamProbe::stop() {
    ++generation_;
    phase_ = Phase::Idle;
    connector_.stop();
    discardSocket(socket_, this);
}

void StreamProbe::lookUp() {
    const quint64 generation = generation_;
    phaseClock_.start();
    lookups_.find(address_.host, this, [this, generation](const QList<QHostAddress>& addresses) {
        if (generation == generation_ && phase_ == Phase::LookingUp)
            resolved(addresses);
    });
}

void StreamProbe::resolved(const QList<QHostAddress>& addresses) {
    // An address is not looked up.
    if (QHostAddress literal; !literal.setAddress(HostAddresses::bare(address_.host)))
        result_.lookupMs = phaseClock_.elapsed();
    if (addresses.isEmpty()) {
        result_.invalidHost = true;
        return fail(QStringLiteral("Null Remote Address"));
    }
    phase_ = Phase::Connecting;
    connector_.start(target(), addresses);
}

ConnectTarget StreamProbe::target() const {
    return {address_.host,
            address_.port,
            {},
            0,
            address_.tls == StreamAddress::Tls::First,
            address_.tls == StreamAddress::Tls::Upgrade,
            request_.acceptUntrusted};
}

void StreamProbe::takeOutcome() {
    const ConnectOutcome& outcome = connector_.outcome();
    // The handshake after STARTTLS runs on the connection made before: only its own phase is new.
    if (phase_ != Phase::Upgrading) {
        result_.remoteAddress = outcome.remoteAddress;
        result_.connectMs = outcome.connectMs;
    }
    result_.tlsMs = outcome.tlsMs;
    result_.certificateExpiry = outcome.certificateExpiry;
}

void StreamProbe::onConnectFailed() {
    takeOutcome();
    const ConnectOutcome& outcome = connector_.outcome();
    fail(outcome.failureText, outcome.trouble, outcome.troubleDetail);
}

void StreamProbe::onConnected() {
    takeOutcome();
    const bool upgraded = phase_ == Phase::Upgrading;
    adopt(connector_.take(this));
    phaseClock_.start();
    if (upgraded) {
        phase_ = Phase::Talking;
        return advance(dialogue_.tlsStarted());
    }
    if (address_.dialect != StreamAddress::Dialect::None) {
        phase_ = Phase::Talking;
        advance(dialogue_.begin(address_.dialect, address_.tls == StreamAddress::Tls::Upgrade,
                                QHostInfo::localHostName()));
    } else if (address_.tls == StreamAddress::Tls::First || (request_.send.isEmpty() && !request_.readBody)) {
        // Nothing is to be said or heard: the connection (and its handshake) was the check.
        return finish();
    } else {
        phase_ = Phase::Banner;
        socket_->write(request_.send);
    }
    // What the server sent with the handshake raised no notification of ours.
    onReadyRead();
}

void StreamProbe::adopt(QTcpSocket* socket) {
    socket_ = socket;
    connect(socket_, &QTcpSocket::readyRead, this, &StreamProbe::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &StreamProbe::onClosed);
    connect(socket_, &QTcpSocket::errorOccurred, this, &StreamProbe::onSocketError);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (phase_ != Phase::Leaving || socket_->bytesToWrite() > 0)
            return;
        // A TLS socket tells of bytes written from deep inside its own work, where it must not
        // be closed, and before they reached the network: it is closed once control is back in
        // the event loop, in its own time, and disconnected() ends the probe.
        const quint64 generation = generation_;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == generation_)
                    socket_->disconnectFromHost();
            },
            Qt::QueuedConnection);
    });
}

void StreamProbe::onReadyRead() {
    try {
        if (phase_ == Phase::Banner)
            readBanner();
        else if (phase_ == Phase::Talking)
            takeLines();
    } catch (const std::bad_alloc&) {
        // What was held is given back first, so the failure itself has room to be told.
        received_.clear();
        fail(QStringLiteral("not enough memory for the reply"));
    }
}

void StreamProbe::noteFirstByte() {
    if (!result_.firstByteMs)
        result_.firstByteMs = phaseClock_.elapsed();
}

void StreamProbe::readBanner() {
    if (socket_->bytesAvailable() <= 0)
        return;
    // The first bytes are the reply: a server that says more later is not waited for.
    noteFirstByte();
    reply_ = socket_->read(ReplyLimit);
    finish();
}

void StreamProbe::takeLines() {
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty())
        return;
    noteFirstByte();
    received_.append(bytes);
    while (phase_ == Phase::Talking && received_.hasLine()) {
        const QByteArray line = received_.takeLine();
        if (!dialogue_.greeted())
            reply_ += line.left(ReplyLimit - reply_.size());
        advance(dialogue_.take(QString::fromLatin1(line)));
    }
    // A reply line that never ends is cut off, as the mail client cuts it off.
    if (phase_ == Phase::Talking && received_.size() > TPowersock::LongestLine)
        fail(SessionPumps::lineTooLongText());
}

void StreamProbe::advance(const GreetingDialogue::Step& step) {
    switch (step.kind) {
    case GreetingDialogue::Kind::Read:
        return;
    case GreetingDialogue::Kind::Send:
        return sendLine(step.send);
    case GreetingDialogue::Kind::StartTls:
        // Bytes that came in the clear must not pass for part of the protected conversation.
        received_.clear();
        phase_ = Phase::Upgrading;
        disconnect(socket_, nullptr, this, nullptr);
        connector_.startTls(std::exchange(socket_, nullptr), target());
        return;
    case GreetingDialogue::Kind::Done:
        result_.errorText = step.error;
        if (step.send.isEmpty())
            return finish();
        // The goodbye is written, not waited for: its answer tells nothing of the server's health.
        phase_ = Phase::Leaving;
        return sendLine(step.send);
    }
}

void StreamProbe::sendLine(const QString& line) {
    // Not flushed here: this may run inside the socket's own notification of the handshake's end,
    // where TLS sockets take no writes to the network.
    socket_->write(line.toLatin1() + "\r\n");
}

void StreamProbe::onClosed() {
    switch (phase_) {
    case Phase::Banner:
        // A server that closes without a word was still connected to.
        readBanner();
        if (phase_ == Phase::Banner)
            finish();
        return;
    case Phase::Talking:
        onReadyRead();
        if (phase_ == Phase::Talking)
            fail(QStringLiteral("Connection closed before a complete reply"),
                 ConnectionTrouble::ClosedBeforeReply);
        return;
    case Phase::Leaving:
        return finish();
    default:
        return;
    }
}

void StreamProbe::onSocketError(QAbstractSocket::SocketError error) {
    // The ordinary end of a connection is seen by onClosed.
    if (error == QAbstractSocket::RemoteHostClosedError || !socket_)
        return;
    if (phase_ == Phase::Leaving)
        return finish();
    fail(socket_->errorString(), ConnectionTrouble::ClosedBeforeReply, socket_->errorString());
}

void StreamProbe::fail(const QString& errorText, ConnectionTrouble trouble, const QString& detail) {
    result_.errorText = errorText;
    if (result_.trouble == ConnectionTrouble::None) {
        result_.trouble = trouble;
        result_.troubleDetail = detail;
    }
    finish();
}

void StreamProbe::finishSoon(const QString& errorText) {
    result_.errorText = errorText;
    callLater(this, generation_, [this] { finish(); });
}

void StreamProbe::finish() {
    if (phase_ == Phase::Idle)
        return;
    // The server's ticket for this session came with its first reply: the next check resumes it.
    if (auto* tls = qobject_cast<QSslSocket*>(socket_); tls && tls->isEncrypted())
        connector_.keepTicket(*tls);
    stop();
    emit finished();
}
