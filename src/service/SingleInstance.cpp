#include "service/SingleInstance.h"

#include "service/OwnerOnlyFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int WaitMs = 5000;
// How often a start asks again while another holds the lock but does not listen yet.
constexpr int RetryMs = 20;
constexpr auto StreamVersion = QDataStream::Qt_6_4;
// An answer is one short line; a longer one is cut there.
constexpr qint64 LongestAnswer = 4096;

// A settings file that does not exist yet is named by its folder's canonical path.
QString canonicalPath(const QString& file) {
    const QFileInfo info(file);
    if (const QString path = info.canonicalFilePath(); !path.isEmpty())
        return path;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

void cannotTell(const QString& why) {
    qWarning("Korvane: cannot tell whether another Korvane runs on this settings file, so this one runs: %s",
             qPrintable(why));
}

// Why the folder is not one only this user reaches, or an empty text when it is. A link is
// refused: whoever made it chose where it leads.
QString folderProblem(const QString& folder) {
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return QStringLiteral("cannot use %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    return notOwnerOnly(folder, status.st_uid, status.st_mode, true);
}

// The session's runtime folder; without a session (a cron job, su), one of our own in the
// temporary folder, whose name anyone can know but only we may own.
QString socketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && folderProblem(runtime).isEmpty())
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/korvane-") + QString::number(::geteuid());
    // Made as soon as it is named, so whoever looks for the socket finds its folder; whether it is
    // ours alone is checked before it is used.
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return own;
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

SingleInstance::~SingleInstance() {
    // The socket file goes while the lock is still held, so it can only be this one's.
    server_->close();
    if (lock_ >= 0)
        ::close(lock_);
}

QString SingleInstance::serverName(const QString& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(canonicalPath(settingsFile).toUtf8(), QCryptographicHash::Sha1);
    return socketFolder() + QStringLiteral("/korvane-") + QString::fromLatin1(hash.toHex());
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

std::optional<QString> SingleInstance::ask(const QString& settingsFile, const QStringList& arguments) {
    const QString name = serverName(settingsFile);
    // Where only others could have made the socket, no monitor of ours listens.
    if (!folderProblem(QFileInfo(name).absolutePath()).isEmpty())
        return std::nullopt;
    QLocalSocket socket;
    if (!send(socket, name, arguments))
        return std::nullopt;
    const QDeadlineTimer deadline(WaitMs);
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    return QString::fromUtf8(socket.readLine(LongestAnswer)).trimmed();
}

bool SingleInstance::handedOver(const QStringList& arguments) {
    if (claim())
        return false;
    QLocalSocket socket;
    if (send(socket, name_, arguments)) {
        socket.disconnectFromServer();
        return true;
    }
    // The running one ended between the two.
    return !claim();
}

bool SingleInstance::claim() {
    if (const QString problem = folderProblem(QFileInfo(name_).absolutePath()); !problem.isEmpty()) {
        cannotTell(problem);
        return true;
    }
    const QDeadlineTimer deadline(WaitMs);
    for (Lock state = lock(); state != Lock::Taken; state = lock()) {
        if (state == Lock::Unavailable)
            return true;
        // The holder of the lock runs; it may be between taking it and listening.
        if (answers(name_) || deadline.hasExpired())
            return false;
        QThread::msleep(RetryMs);
    }
    takeOver();
    return true;
}

SingleInstance::Lock SingleInstance::lock() {
    const QString path = name_ + QStringLiteral(".lock");
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        lock_ = descriptor;
        return Lock::Taken;
    }
    const int error = errno;
    if (descriptor >= 0)
        ::close(descriptor);
    if (error == EWOULDBLOCK)
        return Lock::HeldByAnother;
    cannotTell(QStringLiteral("cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
    return Lock::Unavailable;
}

void SingleInstance::takeOver() {
    // Only the holder of the lock listens: a socket file found now was left by a program that
    // crashed.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_))
        qWarning("Korvane: cannot listen on %s: %s", qPrintable(name_), qPrintable(server_->errorString()));
}

bool SingleInstance::send(QLocalSocket& socket, const QString& name, const QStringList& arguments) {
    socket.connectToServer(name);
    if (!socket.waitForConnected(WaitMs))
        return false;
    QDataStream out(&socket);
    out.setVersion(StreamVersion);
    out << arguments;
    // The bytes wait in the socket for the running program, even if it is too busy to read them
    // before this one has ended.
    socket.waitForBytesWritten(WaitMs);
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
        if (!in.commitTransaction())
            return;
        if (const std::optional<QString> answer = answer_ ? answer_(arguments) : std::nullopt) {
            socket->write(answer->toUtf8() + '\n');
            // Leaves once the answer has gone out.
            socket->disconnectFromServer();
        } else {
            emit commandLineReceived(arguments);
        }
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    // What arrived before the connection was taken raises no readyRead of its own.
    if (socket->bytesAvailable() > 0)
        read();
}
