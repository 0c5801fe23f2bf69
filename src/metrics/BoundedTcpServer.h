#pragma once

#include <QHash>
#include <QList>
#include <QTcpServer>

class QTimer;

// A listening socket that cannot be worn down. At most maxConnections are served at once; a
// request must be whole within requestMs of its connection opening (on a kept-alive connection,
// of its first byte) and may be at most maxRequestBytes, or its connection is cut; an answer must
// have left within idleMs, and a kept-alive connection may idle as long between requests.
//
// A connection beyond the limit is not turned away: it waits, and the listening socket stops
// accepting meanwhile, so the system's backlog holds any later ones in their order. Every busy
// connection frees its place within a bounded time, so a scrape waits at most that long however
// slowly the others send. A kept-alive connection with no request under way gives its place to a
// waiting one at once: it costs its client no more than a reconnect, while holding it would make
// a newcomer wait for nothing.
class BoundedTcpServer : public QTcpServer {
public:
    struct Limits {
        int maxConnections = 16;
        qint64 maxRequestBytes = 16 * 1024;
        int requestMs = 5000;
        int idleMs = 30000;
    };

    explicit BoundedTcpServer(Limits limits, QObject* parent = nullptr);
    ~BoundedTcpServer() override;

    int openConnections() const { return int(connections_.size()); }
    // Accepted by the system, waiting for a connection to end.
    int waitingConnections() const { return int(waiting_.size()); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    enum class Phase { Request, Answer, Idle };
    struct Connection {
        Phase phase = Phase::Request;
        qint64 unanswered = 0; // bytes received since the last answer began
        QTimer* deadline = nullptr;
    };

    void admit();
    void adopt(qintptr descriptor);
    void closeIdlest();
    void received(QTcpSocket* socket);
    void written(QTcpSocket* socket);
    void release(QObject* socket);
    void enter(Connection& connection, Phase phase);

    Limits limits_;
    QHash<QObject*, Connection> connections_;
    QList<qintptr> waiting_;
};
