#include "net/TlsClient.h"

#include "net/TrustStore.h"

#include <QSslConfiguration>
#include <QSslSocket>
#include <algorithm>

namespace {
// The error is about the peer's certificate (its chain, dates or name), not the handshake.
bool certificateProblem(QSslError::SslError error) {
    switch (error) {
    case QSslError::NoError:
    case QSslError::NoPeerCertificate:
    case QSslError::NoSslSupport:
    case QSslError::UnspecifiedError:
    case QSslError::OcspNoResponseFound:
    case QSslError::OcspMalformedRequest:
    case QSslError::OcspMalformedResponse:
    case QSslError::OcspInternalError:
    case QSslError::OcspTryLater:
    case QSslError::OcspSigRequred:
    case QSslError::OcspUnauthorized:
    case QSslError::OcspResponseCannotBeTrusted:
    case QSslError::OcspResponseCertIdUnknown:
    case QSslError::OcspResponseExpired:
    case QSslError::OcspStatusUnknown:
        return false;
    default:
        return true;
    }
}
} // namespace

void TlsClient::start(QSslSocket& socket, const QString& peerName, quint16 port, bool acceptUntrusted) {
    peer_ = peerName.toLower() + QLatin1Char(':') + QString::number(port);
    acceptUntrusted_ = acceptUntrusted;
    passed_ = false;
    QSslConfiguration config = TrustStore::configuration();
    // A session that got through only because its certificate was let pass is offered again
    // only where that is allowed: resuming skips the certificate check.
    if (const auto ticket = tickets_.byPeer.constFind(peer_);
        ticket != tickets_.byPeer.cend() && (ticket->verified || acceptUntrusted)) {
        config.setSessionTicket(ticket->bytes);
        // What resumes a session that was let pass was let pass too, though nothing is checked.
        passed_ = !ticket->verified;
    }
    socket.setSslConfiguration(config);
    // The name checked against the certificate is also the one sent for SNI.
    socket.setPeerVerifyName(peerName);
    socket.startClientEncryption();
}

TlsClient::Verdict TlsClient::judge(QSslSocket& socket, const QList<QSslError>& errors) {
    const auto other = std::find_if(errors.cbegin(), errors.cend(),
                                    [](const QSslError& e) { return !certificateProblem(e.error()); });
    if (other == errors.cend() && acceptUntrusted_) {
        passed_ = true;
        socket.ignoreSslErrors(errors);
        return {};
    }
    if (other != errors.cend())
        return {ConnectionTrouble::SecureFailed, other->errorString()};
    return {ConnectionTrouble::Untrusted, errors.isEmpty() ? QString() : errors.first().errorString()};
}

void TlsClient::keepTicket(const QSslSocket& socket) {
    const QByteArray ticket = socket.sslConfiguration().sessionTicket();
    if (!ticket.isEmpty())
        tickets_.byPeer.insert(peer_, {ticket, !passed_});
}
