#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class BoundedTcpServer;
class QHttpServer;

// Serves GET /metrics and nothing else. Without a token it listens on loopback addresses only;
// with one, a request must carry "Authorization: Bearer <token>". Each answer is made from what
// the monitor holds at that moment, never after waiting for a cycle.
class MetricsServer : public QObject {
    Q_OBJECT
public:
    using Source = std::function<QByteArray()>;

    explicit MetricsServer(Source source, QObject* parent = nullptr);
    ~MetricsServer() override;

    // endpoint: "ADDRESS:PORT". Returns why nothing is served; an empty text once it listens.
    QString listen(const QString& endpoint, const QByteArray& token);
    // The port listened on (the one chosen for port 0); 0 when not listening.
    quint16 port() const;
    void close();

private:
    Source source_;
    QByteArray expected_; // the digest of the Authorization a request must carry; empty: none needed
    QHttpServer* http_ = nullptr;
    BoundedTcpServer* tcp_ = nullptr;
};
