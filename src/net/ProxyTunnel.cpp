#include "net/ProxyTunnel.h"

#include "net/RequestBuilder.h"

#include <QIODevice>

void ProxyTunnel::ask(QIODevice& socket, const QString& host, qint32 port) {
    QByteArray request;
    for (const QString& line : RequestBuilder::tunnel(host, port))
        request += line.toLatin1() + "\r\n";
    socket.write(request);
}

bool ProxyTunnel::read(QIODevice& socket) {
    reply_.feed(socket.readAll());
    return reply_.complete() || reply_.tooLarge();
}
