#include "metrics/MetricsServer.h"

#include "metrics/BoundedTcpServer.h"
#include "metrics/MetricsEndpoint.h"
#include "metrics/MetricsText.h"
#include "pages/Duration.h"

#include <QCryptographicHash>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonObject>
#include <QUrlQuery>

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

using Method = QHttpServerRequest::Method;
using StatusCode = QHttpServerResponse::StatusCode;

QHttpServerResponse unauthorized() {
    QHttpServerResponse refused(StatusCode::Unauthorized);
    refused.setHeader("WWW-Authenticate", "Bearer");
    return refused;
}

// The end of the pause in UTC to the second, "2026-12-08T14:30:00Z"; null when there is none.
QHttpServerResponse pausedUntil(const QDateTime& until) {
    return QJsonObject{{QStringLiteral("pausedUntil"), until.isValid()
                                                           ? QJsonValue(until.toUTC().toString(Qt::ISODate))
                                                           : QJsonValue(QJsonValue::Null)}};
}

// Answers 405 to any method on path but the one allowed.
void refuseOtherMethods(QHttpServer& http, const QString& path, Method allowed,
                        const QByteArray& allowedName) {
    http.route(path, Method::AnyKnown & ~QHttpServerRequest::Methods(allowed), [allowedName] {
        QHttpServerResponse refused(StatusCode::MethodNotAllowed);
        refused.setHeader("Allow", allowedName);
        return refused;
    });
}

} // namespace

MetricsServer::MetricsServer(Source source, AlarmControl control, QObject* parent)
    : QObject(parent), source_(std::move(source)), control_(std::move(control)) {}

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
    http_->route(QStringLiteral("/metrics"), Method::Get, [this](const QHttpServerRequest& request) {
        return authorized(request) ? QHttpServerResponse(MetricsContentType, source_()) : unauthorized();
    });
    refuseOtherMethods(*http_, QStringLiteral("/metrics"), Method::Get, "GET");
    if (!expected_.isEmpty() && control_.pause && control_.resume) {
        http_->route(QStringLiteral("/pause"), Method::Post,
                     [this](const QHttpServerRequest& request) { return pause(request); });
        refuseOtherMethods(*http_, QStringLiteral("/pause"), Method::Post, "POST");
        http_->route(QStringLiteral("/resume"), Method::Post,
                     [this](const QHttpServerRequest& request) { return resume(request); });
        refuseOtherMethods(*http_, QStringLiteral("/resume"), Method::Post, "POST");
    }
    http_->bind(tcp_);
    return {};
}

bool MetricsServer::authorized(const QHttpServerRequest& request) const {
    return expected_.isEmpty() || sameDigest(digest(request.value("Authorization")), expected_);
}

QHttpServerResponse MetricsServer::pause(const QHttpServerRequest& request) {
    if (!authorized(request))
        return unauthorized();
    const std::optional<qint64> seconds =
        Duration::parseSeconds(request.query().queryItemValue(QStringLiteral("for"), QUrl::FullyDecoded));
    if (!seconds)
        return QHttpServerResponse(
            QJsonObject{{QStringLiteral("error"),
                         QStringLiteral("\"for\" must be a length of time such as 30m, 2h or 1d")}},
            StatusCode::BadRequest);
    return pausedUntil(control_.pause(*seconds));
}

QHttpServerResponse MetricsServer::resume(const QHttpServerRequest& request) {
    if (!authorized(request))
        return unauthorized();
    control_.resume();
    return pausedUntil({});
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
