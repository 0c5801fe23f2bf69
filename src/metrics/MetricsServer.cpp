#include "metrics/MetricsServer.h"

#include "metrics/BoundedTcpServer.h"
#include "metrics/MetricsEndpoint.h"
#include "metrics/MetricsText.h"

#include <QCryptographicHash>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>

namespace {

QByteArray digest(const QByteArray& text) {
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256);
}

// The digests are compared whole: how long it takes tells nothing of how much of a guess was
// right, nor of how long the token is.
bool sameDigest(const QByteArray& one, const QByteArray& other) {
    unsigned char differ = 0;
    for (qsizetype at = 0; at < one.size(); ++at)
        differ |= static_cast<unsigned char>(one[at] ^ other[at]);
    return differ == 0;
}

} // namespace

MetricsServer::MetricsServer(Source source, QObject* parent) : QObject(parent), source_(std::move(source)) {}

MetricsServer::~MetricsServer() = default;

QString MetricsServer::listen(const QString& endpointText, const QByteArray& token) {
    close();
    const auto parsed = parseMetricsEndpoint(endpointText);
    if (const QString* wrong = std::get_if<QString>(&parsed))
        return *wrong;
    const MetricsEndpoint endpoint = std::get<MetricsEndpoint>(parsed);
    if (token.isEmpty() && !endpoint.address.isLoopback())
        return QStringLiteral("%1 is not a loopback address: serving metrics there needs a metrics token")
            .arg(endpoint.address.toString());
    expected_ = token.isEmpty() ? QByteArray() : digest("Bearer " + token);
    tcp_ = new BoundedTcpServer(BoundedTcpServer::Limits{}, this);
    if (!tcp_->listen(endpoint.address, endpoint.port)) {
        const QString reason = tcp_->errorString();
        close();
        return QStringLiteral("cannot listen on %1: %2").arg(endpointText.trimmed(), reason);
    }
    http_ = new QHttpServer(this);
    http_->route(QStringLiteral("/metrics"), QHttpServerRequest::Method::Get,
                 [this](const QHttpServerRequest& request) {
                     if (!expected_.isEmpty() &&
                         !sameDigest(digest(request.value("Authorization")), expected_)) {
                         QHttpServerResponse refused(QHttpServerResponse::StatusCode::Unauthorized);
                         refused.setHeader("WWW-Authenticate", "Bearer");
                         return refused;
                     }
                     return QHttpServerResponse(MetricsContentType, source_());
                 });
    using Method = QHttpServerRequest::Method;
    http_->route(QStringLiteral("/metrics"), Method::AnyKnown & ~QHttpServerRequest::Methods(Method::Get),
                 [] {
                     QHttpServerResponse refused(QHttpServerResponse::StatusCode::MethodNotAllowed);
                     refused.setHeader("Allow", "GET");
                     return refused;
                 });
    http_->bind(tcp_);
    return {};
}

quint16 MetricsServer::port() const {
    return tcp_ ? tcp_->serverPort() : 0;
}

void MetricsServer::close() {
    delete http_;
    http_ = nullptr;
    delete tcp_;
    tcp_ = nullptr;
}
