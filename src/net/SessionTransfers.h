#pragma once

#include <QString>
#include <functional>

class QByteArray;
class QIODevice;
class TPowersock;

// The waiting sends and reads of a TPowersock: bytes, a stream or a file out, a line, a string
// or a file in. Each waits with the event loop running until its transfer is done, the peer is
// gone or the session is canceled; the counted ones report their progress and leave the
// session's counting and file state clear however they end.
class SessionTransfers {
public:
    explicit SessionTransfers(TPowersock& session) : s_(session) {}

    void sendBytes(const QByteArray& bytes);
    // length bytes of bytes, or all of them up to the first zero byte when length is 0.
    void sendBuffer(const QByteArray& bytes, int length);
    void sendStream(QIODevice& stream);
    void sendFile(const QString& fileName);
    QString readLine();
    QString captureString(int max);
    void captureFile(const QString& fileName);

private:
    // Waits until what is queued has gone out; a peer that closed ends the wait with an error.
    void waitUntilSent(const std::function<bool()>& alsoDone = {});
    // Runs a counted send or capture; a cancellation is raised with abortText.
    void runTransfer(const std::function<void()>& transfer, const QString& abortText);

    TPowersock& s_;
};
