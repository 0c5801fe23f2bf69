#pragma once

#include <QTcpServer>

// A listening socket that cannot be worn down: at most maxConnections are open at once (a
// connection beyond them is closed as it comes), a connection that sends more than maxRequestBytes
// before an answer goes out is cut, and so is one that stays silent for idleMs.
class BoundedTcpServer : public QTcpServer {
public:
    struct Limits {
        int maxConnections = 16;
        qint64 maxRequestBytes = 16 * 1024;
        int idleMs = 30000;
    };

    explicit BoundedTcpServer(Limits limits, QObject* parent = nullptr);
    ~BoundedTcpServer() override;

    int openConnections() const { return open_; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Limits limits_;
    int open_ = 0;
};
