#include "metrics/BoundedTcpServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <unistd.h>

BoundedTcpServer::BoundedTcpServer(Limits limits, QObject* parent) : QTcpServer(parent), limits_(limits) {}

BoundedTcpServer::~BoundedTcpServer() {
    // The connections still open close as the server goes, after this part of it is gone: they
    // must not count themselves off here then.
    for (QTcpSocket* socket : findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    if (open_ >= limits_.maxConnections) {
        ::close(int(descriptor));
        return;
    }
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    ++open_;
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->setInterval(limits_.idleMs);
    connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
    idle->start();
    // Connected before the HTTP server's own reader, so this sees each chunk before the server
    // takes it: the bytes counted are those of the request still unanswered.
    auto unanswered = std::make_shared<qint64>(0);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, idle, unanswered] {
        idle->start();
        *unanswered += socket->bytesAvailable();
        if (*unanswered > limits_.maxRequestBytes)
            socket->abort();
    });
    connect(socket, &QTcpSocket::bytesWritten, socket, [unanswered] { *unanswered = 0; });
    // The socket itself belongs to whoever takes it from the pending connections.
    connect(socket, &QTcpSocket::disconnected, this, [this] { --open_; });
    addPendingConnection(socket);
}
