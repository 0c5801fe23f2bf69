#pragma once

class QObject;
class QTcpSocket;

// Drops a connection without a word to anyone: watcher's connections to it go first, then the
// socket is aborted and deleted once control is back in the event loop (it may be inside one of
// its own notifications). The pointer is null afterwards; a null one is left alone.
void discardSocket(QTcpSocket*& socket, const QObject* watcher);
