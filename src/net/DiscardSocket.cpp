#include "net/DiscardSocket.h"

#include <QSignalBlocker>
#include <QTcpSocket>

void discardSocket(QTcpSocket*& socket, const QObject* watcher) {
    if (!socket)
        return;
    QObject::disconnect(socket, nullptr, watcher, nullptr);
    {
        const QSignalBlocker quiet(socket);
        socket->abort();
    }
    socket->deleteLater();
    socket = nullptr;
}
