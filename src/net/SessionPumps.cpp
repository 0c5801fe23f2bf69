#include "net/SessionPumps.h"

#include "net/ELineTooLong.h"
#include "net/ESockError.h"
#include "net/SocketErrorTable.h"
#include "net/TPowersock.h"

#include <QFile>
#include <QTcpSocket>
#include <algorithm>
#include <limits>
#include <utility>

namespace {

// The session is busy while a pump runs, and no longer once it has returned or raised.
struct BusyScope {
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    bool& busy_;
};

} // namespace

void SessionPumps::reset() {
    received_.clear();
    toSend_.clear();
    cutOffBecause_.clear();
}

template <typename Pump> void SessionPumps::post(Pump pump) {
    QMetaObject::invokeMethod(
        &s_,
        [this, pump] {
            try {
                (this->*pump)();
            } catch (...) {
            }
        },
        Qt::QueuedConnection);
}

void SessionPumps::postReadMore() {
    post(&SessionPumps::readToStream);
}

void SessionPumps::postWriteMore() {
    post(&SessionPumps::writeFromStream);
}

void SessionPumps::appendReceived(const QByteArray& bytes) {
    if (captureFile_) {
        captureFile_->write(bytes);
        return;
    }
    received_.append(bytes);
    // What piles up unread with no line end in it is one line too long, whoever reads it.
    if (!capturing_ && received_.size() > TPowersock::LongestUnread)
        cutOff(lineTooLong() ? lineTooLongText()
                             : QStringLiteral("The server sent more than %1 bytes that nobody asked for")
                                   .arg(TPowersock::LongestUnread));
}

void SessionPumps::takeRest() {
    QTcpSocket* socket = s_.socket_;
    while (socket && !s_.Canceled && socket->bytesAvailable() > 0) {
        const QByteArray chunk = socket->read(TPowersock::TransferChunk);
        if (chunk.isEmpty())
            break;
        appendReceived(chunk);
        if (s_.CountBytes)
            s_.BytesRecvd += quint32(chunk.size());
    }
}

QString SessionPumps::lineTooLongText() {
    return QStringLiteral("The server's reply line is longer than %1 bytes").arg(TPowersock::LongestLine);
}

void SessionPumps::cutOff(const QString& why) {
    cutOffBecause_ = why;
    s_.peerClosed_ = true;
    received_.clear();
    s_.CloseSocket();
}

void SessionPumps::raiseClosed() const {
    if (!cutOffBecause_.isEmpty())
        throw ELineTooLong(cutOffBecause_);
    throw ESockError(QStringLiteral("Connection closed before a complete reply"));
}

bool SessionPumps::lineTooLong() const {
    return !received_.hasLine() && received_.size() > TPowersock::LongestLine;
}

void SessionPumps::readToStream() {
    if (s_.Canceled) {
        s_.notificationsOff_ = true;
        fire(s_.CancelHook);
    }
    if (s_.Busy) {
        // Not dropped: a notification swallowed here would never come again for this data.
        readAgain_ = true;
        return;
    }
    const auto chunkSize = TPowersock::TransferChunk;
    {
        const BusyScope busy(s_.Busy);
        s_.StatusMessage(8, QStringLiteral("ReadToStream"));
        QByteArray chunk(chunkSize, Qt::Uninitialized);
        QTcpSocket* socket = s_.socket_;
        const qint64 n = socket && socket->isReadable() ? socket->read(chunk.data(), chunkSize) : 0;
        if (n < 0) {
            s_.LastErrorNo = s_.platformError_ = SocketErrorTable::codeFor(socket->error());
            fire(s_.ErrorHook, &s_, s_.LastErrorNo, s_.SocketErrorText(s_.LastErrorNo));
        } else if (n > 0) {
            chunk.truncate(n);
            appendReceived(chunk);
            if (s_.CountBytes) {
                s_.BytesRecvd += quint32(n);
                fire(s_.OnPacketRecvd, &s_);
            }
            if (n == chunkSize)
                postReadMore();
        }
    }
    if (std::exchange(writeAgain_, false))
        postWriteMore();
    if (std::exchange(readAgain_, false))
        postReadMore();
}

bool SessionPumps::somethingToSend() const {
    if (s_.FromFile)
        return sendFile_ && sendFilePos_ < sendFile_->size();
    return !toSend_.isEmpty();
}

qint64 SessionPumps::bytesWaiting() const {
    return s_.socket_ ? s_.socket_->bytesToWrite() : 0;
}

qint32 SessionPumps::clamped32(qint64 value) {
    return qint32(
        std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

void SessionPumps::countSent(qint64 n) {
    s_.BytesSent = clamped32(qint64(s_.BytesSent) + n);
    if (s_.CountBytes)
        fire(s_.OnPacketSent, &s_);
}

void SessionPumps::writeFromStream() {
    if (s_.Busy) {
        writeAgain_ = true;
        return;
    }
    {
        const BusyScope busy(s_.Busy);
        s_.StatusMessage(8, QStringLiteral("WriteFromStream"));
        // One chunk at a time, and the next only when Qt has handed the last one to the system:
        // that keeps a large file out of memory and makes SendDone mean "on its way".
        if (somethingToSend() && !s_.Canceled && bytesWaiting() == 0) {
            QByteArray chunk;
            if (s_.FromFile) {
                sendFile_->seek(sendFilePos_);
                chunk = sendFile_->read(TPowersock::TransferChunk);
            } else {
                chunk = toSend_.peek(TPowersock::TransferChunk);
            }
            QTcpSocket* socket = s_.socket_;
            const qint64 n = socket && socket->isWritable() ? socket->write(chunk) : -1;
            if (n < 0) {
                // Left queued; a later write notification, or a cancellation, ends the wait.
                s_.LastErrorNo = s_.platformError_ =
                    socket && socket->state() == QAbstractSocket::ConnectedState
                        ? SocketErrorTable::codeFor(socket->error())
                        : SocketErrorTable::NotConnected;
            } else {
                if (s_.FromFile)
                    sendFilePos_ += n;
                else
                    toSend_.drop(n);
                socket->flush();
                countSent(n);
                if (somethingToSend())
                    postWriteMore();
            }
        }
        if (!somethingToSend() && bytesWaiting() == 0) {
            if (!s_.FromFile)
                toSend_.clear();
            s_.SendDone = true;
        }
    }
    if (std::exchange(readAgain_, false))
        postReadMore();
    if (std::exchange(writeAgain_, false))
        postWriteMore();
}
