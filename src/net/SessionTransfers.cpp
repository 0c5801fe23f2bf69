#include "net/SessionTransfers.h"

#include "net/EAbortError.h"
#include "net/EventWait.h"
#include "net/FileError.h"
#include "net/SessionPumps.h"
#include "net/TPowersock.h"

#include <QFile>
#include <QScopeGuard>
#include <stdexcept>

void SessionTransfers::sendBytes(const QByteArray& bytes) {
    s_.StatusMessage(4, QStringLiteral("Sending Buffer"));
    if (s_.Canceled)
        return;
    s_.pumps_->toSend().append(bytes);
    s_.SendDone = false;
    s_.pumps_->postWriteMore();
    waitUntilSent();
    if (s_.Canceled) {
        s_.Canceled = false;
        throw EAbortError(QStringLiteral("Socket send aborted"));
    }
}

void SessionTransfers::sendBuffer(const QByteArray& bytes, int length) {
    if (length < 0 || length > TPowersock::LongestBuffer)
        throw std::out_of_range("Range check error");
    if (length == 0) {
        const qsizetype zero = bytes.indexOf('\0');
        sendBytes(zero < 0 ? bytes : bytes.left(zero));
    } else {
        sendBytes(bytes.left(length));
    }
}

void SessionTransfers::sendStream(QIODevice& stream) {
    s_.CountBytes = true;
    s_.StatusMessage(8, QStringLiteral("SendStream"));
    runTransfer(
        [&] {
            if (s_.Canceled)
                return;
            if (!stream.isSequential())
                stream.seek(0);
            s_.StatusMessage(8, QStringLiteral("SendFile"));
            s_.BytesSent = 0;
            const QByteArray all = stream.readAll();
            s_.BytesTotal = SessionPumps::clamped32(all.size());
            s_.pumps_->toSend().append(all);
            s_.SendDone = false;
            s_.pumps_->postWriteMore();
            waitUntilSent();
        },
        QStringLiteral("Socket send aborted"));
}

void SessionTransfers::sendFile(const QString& fileName) {
    s_.StatusMessage(8, QStringLiteral("SendFile"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(file);
    s_.CountBytes = true;
    s_.FromFile = true;
    s_.pumps_->sendFrom(&file);
    s_.SendDone = false;
    s_.BytesSent = 0;
    s_.BytesTotal = SessionPumps::clamped32(file.size());
    s_.pumps_->postWriteMore();
    runTransfer([this] { waitUntilSent([this] { return s_.BytesTotal <= 0; }); },
                QStringLiteral("Socket send aborted"));
}

void SessionTransfers::waitUntilSent(const std::function<bool()>& alsoDone) {
    const auto done = [&] { return s_.SendDone || s_.Canceled || (alsoDone && alsoDone()); };
    EventWait::until([&] { return done() || s_.peerClosed_; });
    // Whatever is still queued can never go.
    if (!done())
        s_.pumps_->raiseClosed();
}

QString SessionTransfers::readLine() {
    s_.StatusMessage(8, QStringLiteral("ReadLn"));
    SessionPumps& pumps = *s_.pumps_;
    // A peer that closed with no complete line left can never give one; our own Disconnect ends
    // nothing here, only a cancellation does.
    EventWait::until(
        [&] { return pumps.received().hasLine() || s_.Canceled || s_.peerClosed_ || pumps.lineTooLong(); });
    if (s_.Canceled)
        throw EAbortError(QStringLiteral("Socket readln aborted"));
    if (pumps.lineTooLong())
        pumps.cutOff(SessionPumps::lineTooLongText());
    if (!pumps.received().hasLine())
        pumps.raiseClosed();
    s_.replied_ = true;
    return QString::fromLatin1(pumps.received().takeLine());
}

QString SessionTransfers::captureString(int max) {
    QByteArray result;
    s_.CountBytes = true;
    s_.StatusMessage(8, QStringLiteral("Capture String"));
    s_.BytesRecvd = 0;
    ByteQueue& received = s_.pumps_->received();
    s_.pumps_->setCapturing(true);
    const auto done = qScopeGuard([this] { s_.pumps_->setCapturing(false); });
    runTransfer(
        [&] {
            while (!s_.Canceled) {
                const bool more = max < 0 ? (s_.Connected || !received.isEmpty()) : result.size() < max;
                if (!more)
                    break;
                if (received.isEmpty())
                    EventWait::once();
                else
                    result.append(received.takeAll());
            }
        },
        QStringLiteral("Socket capture aborted"));
    return QString::fromLatin1(result);
}

void SessionTransfers::captureFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError::cannotCreate(file);
    s_.CountBytes = true;
    s_.FromFile = true;
    s_.StatusMessage(8, QStringLiteral("CaptureFile"));
    ByteQueue& received = s_.pumps_->received();
    s_.BytesRecvd = quint32(received.size());
    file.write(received.takeAll());
    s_.pumps_->captureInto(&file);
    runTransfer([this] { EventWait::until([this] { return !s_.Connected || s_.Canceled; }); },
                QStringLiteral("Socket capture aborted"));
}

void SessionTransfers::runTransfer(const std::function<void()>& transfer, const QString& abortText) {
    auto clear = [this] {
        s_.pumps_->sendFrom(nullptr);
        s_.pumps_->captureInto(nullptr);
        s_.CountBytes = false;
        s_.FromFile = false;
    };
    try {
        transfer();
    } catch (...) {
        clear();
        throw;
    }
    clear();
    // A canceled transfer is half done (a file half sent or half written): say so instead of
    // returning as if it were complete.
    if (s_.Canceled) {
        s_.Canceled = false;
        throw EAbortError(abortText);
    }
}
