#include "net/SessionConnect.h"

#include "net/ESockError.h"
#include "net/EventWait.h"
#include "net/FireEvent.h"
#include "net/HostAddresses.h"
#include "net/SessionPumps.h"
#include "net/SocketErrorTable.h"
#include "net/TPowersock.h"

#include <QHostInfo>
#include <QSslSocket>

namespace {
const QString HostLookupFailed = QStringLiteral("Host Lookup Failed");
} // namespace

SessionConnect::SessionConnect(TPowersock& session) : QObject(&session), s_(session) {
    connector_ = new Connector(tickets_, this);
    connect(connector_, &Connector::connected, this, &SessionConnect::onConnectorConnected);
    connect(connector_, &Connector::failed, this, &SessionConnect::onConnectorFailed);
}

SessionConnect::~SessionConnect() {
    abortLookup();
}

ConnectTarget SessionConnect::target() const {
    return {s_.Host, s_.Port, s_.Proxy, s_.ProxyPort, s_.Secure, s_.MayStartTls, s_.AcceptUntrusted};
}

void SessionConnect::onConnectorConnected() {
    const ConnectOutcome& outcome = connector_->outcome();
    s_.RemoteAddress = outcome.remoteAddress;
    s_.PeerCertificateExpiry = outcome.certificateExpiry;
    s_.adoptSocket(connector_->take(&s_));
}

void SessionConnect::onConnectorFailed() {
    const ConnectOutcome& outcome = connector_->outcome();
    connectFailed_ = true;
    s_.EventOk = false;
    s_.RemoteAddress = outcome.remoteAddress;
    s_.Trouble = outcome.trouble;
    s_.TroubleDetail = outcome.troubleDetail;
    failureText_ = outcome.failureText;
    failureSocketText_ = outcome.socketErrorText;
    if (outcome.socketError)
        s_.LastErrorNo = s_.platformError_ = SocketErrorTable::codeFor(*outcome.socketError);
}

void SessionConnect::onLookupDone(int lookupId, const QList<QHostAddress>& addresses) {
    if (lookupId != lookupId_ && lookupId_ != LookupStarting)
        return; // a lookup we gave up on
    lookupId_ = -1;
    const bool ok = !addresses.isEmpty();
    s_.EventOk = ok;
    addresses_ = addresses;
    if (!ok)
        s_.LastErrorNo = s_.platformError_ = SocketErrorTable::HostNotFound;
    s_.LookupDone = true;
}

void SessionConnect::abortLookup() {
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
}

void SessionConnect::resolveHost() {
    s_.StatusMessage(8, QStringLiteral("Resolve Host"));
    // The whole name goes to the resolver, however long: cutting it would look up another host.
    const QString name = HostAddresses::bare(s_.Proxy.isEmpty() ? s_.Host : s_.Proxy);
    // An address needs no lookup, and gets none: no event fires for it.
    if (QHostAddress literal; literal.setAddress(name)) {
        addresses_ = {literal};
        s_.RemoteAddress = literal;
        return;
    }
    addresses_.clear();
    s_.RemoteAddress.clear();
    s_.TimerOn();
    s_.LookupDone = false;
    abortLookup();
    // Qt may answer from its cache before lookupHost returns; LookupStarting lets that through.
    lookupId_ = LookupStarting;
    const int id = QHostInfo::lookupHost(name, this, [this](const QHostInfo& info) {
        onLookupDone(info.lookupId(), info.error() == QHostInfo::NoError
                                          ? HostAddresses::inOrder(info.addresses())
                                          : QList<QHostAddress>());
    });
    if (!s_.LookupDone)
        lookupId_ = id;
    EventWait::until([this] { return s_.LookupDone || s_.TimerExpired || s_.Canceled; });
    s_.TimerOff();
    abortLookup();
    if (s_.TimerExpired)
        throw ESockError(QStringLiteral("Host Lookup Timed Out"));
    if (s_.Canceled)
        throw ESockError(QStringLiteral("Host Lookup Canceled"));
    if (!s_.EventOk || addresses_.isEmpty())
        throw ESockError(HostLookupFailed);
    s_.RemoteAddress = addresses_.first();
    fire(s_.OnHostResolved, &s_);
}

void SessionConnect::connectSession() {
    // Every connect starts clean: no half-open attempt of an earlier failed connect, and no
    // bytes of an earlier connection that could be taken for the new peer's.
    s_.dropSocket();
    s_.pumps_->reset();
    s_.Trouble = ConnectionTrouble::None;
    s_.TroubleDetail.clear();
    s_.PeerCertificateExpiry = QDateTime();
    s_.peerClosed_ = false;
    s_.replied_ = false;
    for (int retry = 0;; ++retry) {
        try {
            s_.ResolveHost();
        } catch (const ESockError& e) {
            if (QString::fromUtf8(e.what()) != HostLookupFailed)
                throw;
        }
        if (!s_.RemoteAddress.isNull())
            break;
        bool handled = false;
        if (retry == 0 && s_.OnInvalidHost)
            fire(s_.OnInvalidHost, handled);
        if (!handled)
            throw ESockError(QStringLiteral("Null Remote Address"));
    }

    s_.LookupDone = false;
    if (awaitConnector([this] { connector_->start(target(), addresses_); }))
        return;
    fire(s_.OnConnectionFailed, &s_);
    if (s_.TimerExpired)
        throw ESockError(QStringLiteral("Connection Timed out"));
    if (s_.Canceled)
        throw ESockError(QStringLiteral("Connection Canceled"));
    throw ESockError(failureText_);
}

bool SessionConnect::awaitConnector(const std::function<void()>& begin) {
    s_.Connected = false;
    connectFailed_ = false;
    s_.TimerOn();
    begin();
    // A peer may close, or be cut off, before the wait sees that it was connected: the next read
    // says why.
    EventWait::until([this] {
        return s_.Connected || s_.peerClosed_ || connectFailed_ || s_.TimerExpired || s_.Canceled;
    });
    s_.TimerOff();
    if ((s_.Connected || s_.peerClosed_) && !s_.TimerExpired && !s_.Canceled)
        return true;
    // A late answer to the abandoned attempt must not make the session look connected.
    s_.dropSocket();
    s_.Connected = false;
    return false;
}

void SessionConnect::startTls() {
    if (!s_.Connected || !s_.socket_)
        throw ESockError(QStringLiteral("Not connected"));
    if (!s_.tlsSocket())
        throw ESockError(QStringLiteral("This connection was not made ready for TLS"));
    // Bytes that came in the clear must not pass for part of the protected conversation.
    s_.pumps_->received().clear();
    s_.Secure = true;
    s_.Trouble = ConnectionTrouble::None;
    s_.TroubleDetail.clear();
    failureSocketText_.clear();
    // The handshake runs as the last step of a connect: Connected again once it is through.
    QTcpSocket* plain = s_.releaseSocket();
    if (awaitConnector([&] { connector_->startTls(plain, target()); }))
        return;
    throw ESockError(s_.TimerExpired ? QStringLiteral("TLS handshake timed out")
                     : s_.Canceled
                         ? QStringLiteral("TLS handshake canceled")
                         : QStringLiteral("TLS failed: ") +
                               (s_.TroubleDetail.isEmpty() ? failureSocketText_ : s_.TroubleDetail));
}
