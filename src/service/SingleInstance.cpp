#include "service/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

constexpr int WaitMs = 5000;
constexpr auto StreamVersion = QDataStream::Qt_6_4;

// A settings file that does not exist yet is named by its folder's canonical path.
QString canonicalPath(const QString& file) {
    const QFileInfo info(file);
    if (const QString path = info.canonicalFilePath(); !path.isEmpty())
        return path;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent)
    : QObject(parent), name_(serverName(settingsFile)), server_(new QLocalServer(this)) {
    // No socket options: with them the toolkit binds elsewhere and renames the socket over the
    // name, which would take it from a program already running instead of failing.
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            receive(socket);
    });
}

QString SingleInstance::serverName(const QString& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(canonicalPath(settingsFile).toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("korvane-") + QString::fromLatin1(hash.toHex());
}

bool SingleInstance::runningOn(const QString& settingsFile) {
    return answers(serverName(settingsFile));
}

bool SingleInstance::answers(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    // A socket file a crashed program left behind refuses at once.
    return socket.waitForConnected(WaitMs);
}

bool SingleInstance::handedOver(const QStringList& arguments) {
    if (claim())
        return false;
    if (send(arguments))
        return true;
    // The running one ended between the two.
    takeOver();
    return false;
}

bool SingleInstance::claim() {
    // Listening first settles a race of two starts: binding the name succeeds for one only.
    if (server_->listen(name_))
        return true;
    if (server_->serverError() == QAbstractSocket::AddressInUseError && answers(name_))
        return false;
    takeOver();
    return true;
}

void SingleInstance::takeOver() {
    // Nobody answers on the name: a program that crashed left its socket file behind.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_))
        qWarning("Korvane: cannot listen on %s: %s", qPrintable(name_), qPrintable(server_->errorString()));
}

bool SingleInstance::send(const QStringList& arguments) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(WaitMs))
        return false;
    QDataStream out(&socket);
    out.setVersion(StreamVersion);
    out << arguments;
    // The bytes wait in the socket for the running program, even if it is too busy to read them
    // before this one has ended.
    socket.waitForBytesWritten(WaitMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::receive(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto read = [this, socket] {
        QDataStream in(socket);
        in.setVersion(StreamVersion);
        in.startTransaction();
        QStringList arguments;
        in >> arguments;
        if (in.commitTransaction())
            emit commandLineReceived(arguments);
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    // What arrived before the connection was taken raises no readyRead of its own.
    if (socket->bytesAvailable() > 0)
        read();
}
