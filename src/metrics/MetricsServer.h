#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

class BoundedTcpServer;
class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;

// Serves GET /metrics. Without a token it listens on loopback addresses only; with one, a request
// must carry "Authorization: Bearer <token>". Each answer is made from what the monitor holds at
// that moment, never after waiting for a cycle.
//
// With a token it also serves POST /pause?for=30m and POST /resume, which pause and resume the
// monitor's alarms and answer with when the pause ends. Without a token they are not there at
// all: whoever reaches a loopback address is not thereby allowed to silence the alarms.
class MetricsServer : public QObject {
    Q_OBJECT
public:
    using Source = std::function<QByteArray()>;
    struct AlarmControl {
        // Pauses for that many seconds and returns when the pause ends.
        std::function<QDateTime(qint64 seconds)> pause;
        std::function<void()> resume;
    };

    explicit MetricsServer(Source source, AlarmControl control = {}, QObject* parent = nullptr);
    ~MetricsServer() override;

    // endpoint: "ADDRESS:PORT". Returns why nothing is served; an empty text once it listens.
    QString listen(const QString& endpoint, const QByteArray& token);
    // The port listened on (the one chosen for port 0); 0 when not listening.
    quint16 port() const;
    void close();

private:
    bool authorized(const QHttpServerRequest& request) const;
    QHttpServerResponse pause(const QHttpServerRequest& request);
    QHttpServerResponse resume(const QHttpServerRequest& request);

    Source source_;
    AlarmControl control_;
    QByteArray expected_; // the digest of the Authorization a request must carry; empty: none needed
    QHttpServer* http_ = nullptr;
    BoundedTcpServer* tcp_ = nullptr;
};
