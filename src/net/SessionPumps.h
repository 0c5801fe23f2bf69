#pragma once

#include "net/ByteQueue.h"

#include <QString>

class QFile;
class TPowersock;

// The two buffer pumps of a TPowersock: what arrives goes from the socket into the received
// bytes (or the file being captured), and what is queued goes from the sent bytes (or the file
// being sent) to the socket, one chunk at a time. They run from the socket's notifications and
// from the event loop, never from each other.
class SessionPumps {
public:
    explicit SessionPumps(TPowersock& session) : s_(session) {}

    void readToStream();
    void writeFromStream();
    // Runs a pump later, from the event loop; nothing it raises gets out.
    void postReadMore();
    void postWriteMore();

    ByteQueue& received() { return received_; }
    ByteQueue& toSend() { return toSend_; }
    void appendReceived(const QByteArray& bytes);
    // The peer closed: keeps what it sent before, as a reply is often followed by the close at once.
    void takeRest();
    // The peer sends more than we take: its bytes are dropped with the connection, and the
    // next read raises why.
    void cutOff(const QString& why);
    bool lineTooLong() const;
    static QString lineTooLongText();
    // The peer is gone, or was cut off: the wait for it raises why.
    [[noreturn]] void raiseClosed() const;
    // A new connection: nothing received, queued or cut off.
    void reset();

    // The counted transfers hand their file, or their wish to take everything, to the pumps.
    void sendFrom(QFile* file) {
        sendFile_ = file;
        sendFilePos_ = 0;
    }
    void captureInto(QFile* file) { captureFile_ = file; }
    void setCapturing(bool capturing) { capturing_ = capturing; }
    bool somethingToSend() const;
    qint64 bytesWaiting() const;
    // A byte count as the session's 32-bit counters hold it.
    static qint32 clamped32(qint64 value);

private:
    void countSent(qint64 n);
    template <typename Pump> void post(Pump pump);

    TPowersock& s_;
    ByteQueue received_;
    ByteQueue toSend_;
    QFile* sendFile_ = nullptr;
    qint64 sendFilePos_ = 0;
    QFile* captureFile_ = nullptr;
    bool capturing_ = false; // CaptureString takes everything that comes, however much
    QString cutOffBecause_;  // why the peer was cut off; empty while it was not
    bool readAgain_ = false;
    bool writeAgain_ = false;
};
