#include "net/SmtpSession.h"

#include "net/DiscardSocket.h"
#include "net/HostAddresses.h"
#include "net/SessionPumps.h"
#include "net/TPowersock.h"

#include <QHostInfo>
#include <QSslSocket>
#include <QTcpSocket>
#include <stdexcept>

SmtpSession::SmtpSession(QObject* parent) : QObject(parent) {
    connector_ = new Connector(tickets_, this);
    connect(connector_, &Connector::connected, this, &SmtpSession::onConnectorConnected);
    connect(connector_, &Connector::failed, this, &SmtpSession::onConnectorFailed);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SmtpSession::onTimeOut);
}

SmtpSession::~SmtpSession() {
    connector_->stop();
    discardSocket(socket_, this);
}

void SmtpSession::arm() {
    if (server_.timeOut > 0)
        timer_.start(server_.timeOut);
    else
        timer_.stop();
}

ConnectTarget SmtpSession::target() const {
    return {server_.host, server_.port, {}, 0, server_.tls, server_.startTls, server_.acceptUntrusted};
}

void SmtpSession::send(const Server& server, const Letter& letter) {
    abort();
    server_ = server;
    letter_ = letter;
    askedHost_ = false;
    failReason_.reset();
    received_.clear();
    phase_ = Phase::LookingUp;
    // Begins from the event loop, so whoever sends has returned before anything is reported.
    const int attempt = attempt_;
    QMetaObject::invokeMethod(
        this,
        [this, attempt] {
            if (attempt == attempt_)
                lookUp(server_.host);
        },
        Qt::QueuedConnection);
}

void SmtpSession::lookUp(const QString& host) {
    server_.host = host;
    const QString name = HostAddresses::bare(host);
    // An address needs no lookup, and gets none: no event fires for it.
    if (QHostAddress literal; literal.setAddress(name))
        return startConnect({literal});
    arm();
    const int attempt = attempt_;
    QHostInfo::lookupHost(name, this, [this, attempt](const QHostInfo& info) {
        if (attempt == attempt_ && phase_ == Phase::LookingUp)
            onLookedUp(info.error() == QHostInfo::NoError ? HostAddresses::inOrder(info.addresses())
                                                          : QList<QHostAddress>());
    });
}

void SmtpSession::onLookedUp(const QList<QHostAddress>& addresses) {
    timer_.stop();
    const int attempt = attempt_;
    if (addresses.isEmpty()) {
        if (!std::exchange(askedHost_, true) && askForHost) {
            const std::optional<QString> host = askForHost();
            if (attempt != attempt_)
                return;
            if (host)
                return lookUp(*host);
        }
        return fail(false, QStringLiteral("Null Remote Address"), false);
    }
    emit hostResolved();
    if (attempt == attempt_)
        startConnect(addresses);
}

void SmtpSession::startConnect(const QList<QHostAddress>& addresses) {
    phase_ = Phase::Connecting;
    arm();
    connector_->start(target(), addresses);
}

void SmtpSession::onConnectorConnected() {
    timer_.stop();
    adopt(connector_->take(this));
    phase_ = Phase::Talking;
    if (std::exchange(upgrading_, false))
        return proceed(dialogue_.tlsStarted());
    proceed(dialogue_.greet({server_.startTls || server_.tls || !server_.userName.isEmpty(), server_.startTls,
                             server_.tls, server_.heloName, server_.ehloName, server_.userName,
                             server_.password}));
}

void SmtpSession::onConnectorFailed() {
    timer_.stop();
    const ConnectOutcome& outcome = connector_->outcome();
    if (std::exchange(upgrading_, false))
        return fail(true,
                    QStringLiteral("TLS failed: ") +
                        (outcome.troubleDetail.isEmpty() ? outcome.socketErrorText : outcome.troubleDetail),
                    false);
    const bool tlsRefused = server_.tls && (outcome.trouble == ConnectionTrouble::Untrusted ||
                                            outcome.trouble == ConnectionTrouble::SecureFailed);
    const QString reason =
        tlsRefused ? QStringLiteral("TLS failed: ") + outcome.troubleDetail : outcome.failureText;
    const int attempt = attempt_;
    emit connectionFailed();
    if (attempt == attempt_)
        fail(tlsRefused, reason, false);
}

void SmtpSession::adopt(QTcpSocket* socket) {
    socket_ = socket;
    connect(socket_, &QTcpSocket::readyRead, this, &SmtpSession::takeLines);
    connect(socket_, &QTcpSocket::bytesWritten, this, &SmtpSession::writeNext);
    connect(socket_, &QTcpSocket::disconnected, this, &SmtpSession::onPeerClosed);
}

void SmtpSession::proceed(SmtpDialogue::Step step) {
    advance(step);
    takeLines();
}

void SmtpSession::advance(SmtpDialogue::Step step) {
    using Kind = SmtpDialogue::Kind;
    const int attempt = attempt_;
    for (;;) {
        if (!step.status.isEmpty())
            emit status(step.status);
        switch (step.kind) {
        case Kind::Send:
            socket_->write((step.text + QStringLiteral("\r\n")).toLatin1());
            [[fallthrough]];
        case Kind::Read:
            awaiting_ = true;
            // A command's time runs from when it went out (the greeting's from the connection)
            // to its reply's last line: a server that spreads a reply over many lines still has
            // no more time for it.
            if (dialogue_.replyStarts())
                arm();
            return;
        case Kind::StartTls:
            // Bytes that came in the clear must not pass for part of the protected conversation.
            received_.clear();
            upgrading_ = true;
            phase_ = Phase::Connecting;
            disconnect(socket_, nullptr, this, nullptr);
            arm();
            connector_->startTls(std::exchange(socket_, nullptr), target());
            return;
        case Kind::HeloRefused:
        case Kind::Failed:
            return fail(false, step.text);
        case Kind::Refused:
            return fail(true, step.text);
        case Kind::CutOff:
            return fail(true, step.text, false);
        case Kind::MessageRefused:
            emit messageRefused();
            if (attempt == attempt_)
                fail(false, step.text);
            return;
        case Kind::RecipientRefused:
            emit recipientNotFound(step.text);
            step = dialogue_.recipientNoted();
            break;
        case Kind::Greeted:
            emit connected();
            if (attempt != attempt_)
                return;
            if (SmtpDialogue::missingHeader(letter_.fromAddress, !letter_.recipients.isEmpty()) != 0)
                return fail(false, QStringLiteral("Incomplete Header"));
            emit sendStarted();
            step = dialogue_.deliver(letter_.fromAddress, letter_.recipients);
            break;
        case Kind::SendText:
            phase_ = Phase::Writing;
            toWrite_ = {SmtpDialogue::headerBlock(letter_.header).toLatin1()};
            for (qsizetype at = 0; at < letter_.text.size(); at += TPowersock::TransferChunk)
                toWrite_.append(letter_.text.mid(at, TPowersock::TransferChunk));
            headerQueued_ = true;
            counted_ = 0;
            return writeNext();
        case Kind::Delivered:
            emit succeeded();
            phase_ = Phase::Quitting;
            step = dialogue_.quit();
            break;
        case Kind::Closed:
            close();
            return finish(!failReason_, failRefused_, failReason_.value_or(QString()));
        }
        if (attempt != attempt_)
            return;
    }
}

void SmtpSession::writeNext() {
    if (phase_ != Phase::Writing || socket_->bytesToWrite() > 0)
        return;
    if (toWrite_.isEmpty()) {
        phase_ = Phase::Talking;
        return proceed(dialogue_.textSent());
    }
    arm();
    const QByteArray chunk = toWrite_.takeFirst();
    socket_->write(chunk);
    if (!std::exchange(headerQueued_, false)) {
        counted_ += qint32(chunk.size());
        emit packetSent(counted_, qint32(letter_.text.size()));
    }
}

void SmtpSession::takeLines() {
    if (socket_)
        received_.append(socket_->readAll());
    while (awaiting_ && received_.hasLine()) {
        awaiting_ = false;
        SmtpDialogue::Step step;
        try {
            step = dialogue_.take(QString::fromLatin1(received_.takeLine()));
        } catch (const std::out_of_range& error) {
            // A reply number past 16 bits: nothing the server says makes sense any more.
            return fail(false, QString::fromUtf8(error.what()), false);
        }
        if (dialogue_.replyStarts())
            timer_.stop();
        advance(step);
    }
    // A reply line that never ends, or a heap of bytes nobody asked for, is cut off.
    if (!received_.hasLine() && received_.size() > TPowersock::LongestLine)
        fail(true, SessionPumps::lineTooLongText(), false);
    else if (received_.size() > TPowersock::LongestUnread)
        fail(true,
             QStringLiteral("The server sent more than %1 bytes that nobody asked for")
                 .arg(TPowersock::LongestUnread),
             false);
}

void SmtpSession::onPeerClosed() {
    takeLines();
    if (socket_ && busy())
        fail(false, QStringLiteral("Connection closed before a complete reply"), false);
}

void SmtpSession::onTimeOut() {
    switch (phase_) {
    case Phase::Idle:
        return;
    case Phase::LookingUp:
        return fail(false, QStringLiteral("Host Lookup Timed Out"), false);
    case Phase::Connecting:
        connector_->stop();
        if (std::exchange(upgrading_, false))
            return fail(true, QStringLiteral("TLS handshake timed out"), false);
        {
            const int attempt = attempt_;
            emit connectionFailed();
            if (attempt == attempt_)
                fail(false, QStringLiteral("Connection Timed out"), false);
        }
        return;
    case Phase::Writing:
        return fail(false, QStringLiteral("Socket send aborted"), false);
    case Phase::Talking:
    case Phase::Quitting:
        return fail(false, QStringLiteral("Socket readln aborted"), false);
    }
}

void SmtpSession::fail(bool refused, const QString& reason, bool sayGoodbye) {
    if (!busy())
        return;
    if (phase_ == Phase::Quitting) {
        // The goodbye went wrong: a mail that had failed before keeps its own reason.
        close();
        return failReason_ ? finish(false, failRefused_, *failReason_) : finish(false, refused, reason);
    }
    if (sayGoodbye && socket_ && socket_->state() == QAbstractSocket::ConnectedState) {
        failRefused_ = refused;
        failReason_ = reason;
        phase_ = Phase::Quitting;
        return advance(dialogue_.quit());
    }
    close();
    finish(false, refused, reason);
}

void SmtpSession::abort() {
    if (busy())
        fail(false, QStringLiteral("Socket readln aborted"), false);
}

void SmtpSession::close() {
    timer_.stop();
    awaiting_ = false;
    connector_->stop();
    if (!socket_)
        return;
    // The server's ticket for this session comes with its first reply, so it is there by now.
    if (auto* tls = qobject_cast<QSslSocket*>(socket_); tls && tls->isEncrypted())
        connector_->keepTicket(*tls);
    discardSocket(socket_, this);
    emit disconnected();
}

void SmtpSession::finish(bool sent, bool refused, const QString& reason) {
    phase_ = Phase::Idle;
    upgrading_ = false;
    ++attempt_;
    emit finished(sent, refused, reason);
}
