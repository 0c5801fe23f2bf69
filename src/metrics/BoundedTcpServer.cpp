#include "metrics/BoundedTcpServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <unistd.h>

BoundedTcpServer::BoundedTcpServer(Limits limits, QObject* parent) : QTcpServer(parent), limits_(limits) {}

BoundedTcpServer::~BoundedTcpServer() {
    // The connections still open close as the server goes, after this part of it is gone: they
    // must not count themselves off here then.
    for (QTcpSocket* socket : findChildren<QTcpSocket*>())
        socket->disconnect(this);
    for (qintptr descriptor : std::as_const(waiting_))
        ::close(int(descriptor));
}

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    waiting_.append(descriptor);
    admit();
}

void BoundedTcpServer::admit() {
    while (!waiting_.isEmpty()) {
        if (openConnections() >= limits_.maxConnections) {
            // A connection closed counts itself off once its socket says so, and admits the next.
            closeIdlest();
            break;
        }
        adopt(waiting_.takeFirst());
    }
    if (waiting_.isEmpty())
        resumeAccepting();
    else
        pauseAccepting();
}

void BoundedTcpServer::adopt(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(int(descriptor));
        delete socket;
        return;
    }
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    deadline->setTimerType(Qt::PreciseTimer);
    connect(deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
    QObject* const key = socket;
    enter(connections_[key] = Connection{.deadline = deadline}, Phase::Request);
    // Connected before the HTTP server's own reader, so this sees each chunk before the server
    // takes it.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { written(socket); });
    // The socket itself belongs to whoever takes it from the pending connections.
    connect(socket, &QTcpSocket::disconnected, this, [this, key] { release(key); });
    addPendingConnection(socket);
}

void BoundedTcpServer::enter(Connection& connection, Phase phase) {
    connection.phase = phase;
    connection.deadline->start(phase == Phase::Request ? limits_.requestMs : limits_.idleMs);
}

void BoundedTcpServer::closeIdlest() {
    // All idle connections wait out the same time: the one with the least left has idled longest.
    QTcpSocket* idlest = nullptr;
    int left = 0;
    for (auto it = connections_.cbegin(); it != connections_.cend(); ++it) {
        auto* socket = static_cast<QTcpSocket*>(it.key());
        if (it->phase != Phase::Idle || socket->state() != QAbstractSocket::ConnectedState)
            continue;
        if (!idlest || it->deadline->remainingTime() < left) {
            idlest = socket;
            left = it->deadline->remainingTime();
        }
    }
    // Closed as a server closes a kept-alive connection, which a client knows to open anew.
    if (idlest)
        idlest->disconnectFromHost();
}

void BoundedTcpServer::received(QTcpSocket* socket) {
    const auto found = connections_.find(socket);
    if (found == connections_.end())
        return;
    Connection& connection = *found;
    if (connection.phase == Phase::Idle)
        enter(connection, Phase::Request);
    connection.unanswered += socket->bytesAvailable();
    if (connection.unanswered > limits_.maxRequestBytes)
        socket->abort();
}

void BoundedTcpServer::written(QTcpSocket* socket) {
    const auto found = connections_.find(socket);
    if (found == connections_.end())
        return;
    Connection& connection = *found;
    if (connection.phase != Phase::Answer) {
        connection.unanswered = 0;
        enter(connection, Phase::Answer);
    }
    if (socket->bytesToWrite() > 0)
        return;
    // Bytes that came while the answer left begin the next request.
    enter(connection, connection.unanswered > 0 ? Phase::Request : Phase::Idle);
    if (connection.phase == Phase::Idle && !waiting_.isEmpty())
        admit();
}

void BoundedTcpServer::release(QObject* socket) {
    connections_.remove(socket);
    if (!waiting_.isEmpty())
        QMetaObject::invokeMethod(this, &BoundedTcpServer::admit, Qt::QueuedConnection);
}
