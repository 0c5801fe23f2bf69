#pragma once

#include "net/ByteQueue.h"
#include "net/Connector.h"
#include "net/SmtpDialogue.h"
#include "net/TlsClient.h"

#include <QByteArrayList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class QTcpSocket;

// One mail through a mail server without waiting for anything: every step (the name lookup,
// the connect, each reply, the message text) runs from a notification of the event loop, and
// what happens is told by signals. It speaks the same SmtpDialogue as TNMSMTP, with the same
// time-out on every wait (a reply's from its command to its last line), and ends each mail with
// finished(), once.
class SmtpSession : public QObject {
    Q_OBJECT
public:
    struct Server {
        QString host;
        qint32 port = 25;
        qint32 timeOut = 0; // milliseconds for each wait, a reply's whole; 0 = no limit
        bool startTls = false;
        bool tls = false; // TLS from the first byte
        bool acceptUntrusted = false;
        QString heloName;
        QString ehloName;
        QString userName; // empty: no login
        QString password;
    };
    struct Letter {
        QString fromAddress;
        QStringList recipients;
        QStringList header;
        QByteArray text;
    };

    explicit SmtpSession(QObject* parent = nullptr);
    ~SmtpSession() override;

    // Asked once when the server's name has no address: another host for this mail, or none.
    std::function<std::optional<QString>()> askForHost;

    void send(const Server& server, const Letter& letter);
    // Ends the mail under way at once, without a word to the server; finished() follows.
    void abort();
    bool busy() const { return phase_ != Phase::Idle; }

signals:
    void status(const QString& text);
    void hostResolved();
    void connectionFailed();
    void connected(); // greeted, and logged in where asked
    void sendStarted();
    void packetSent(qint32 sent, qint32 total);
    void recipientNotFound(const QString& recipient);
    void messageRefused();
    void succeeded();
    void disconnected();
    // refused: the server refused a step of protection or login, and reason is its answer.
    void finished(bool sent, bool refused, const QString& reason);

private:
    enum class Phase { Idle, LookingUp, Connecting, Talking, Writing, Quitting };

    void lookUp(const QString& host);
    void onLookedUp(const QList<QHostAddress>& addresses);
    void startConnect(const QList<QHostAddress>& addresses);
    ConnectTarget target() const;
    void onConnectorConnected();
    void onConnectorFailed();
    void adopt(QTcpSocket* socket);
    void advance(SmtpDialogue::Step step);
    // Takes a step, then the lines that are there for it already.
    void proceed(SmtpDialogue::Step step);
    void writeNext();
    void takeLines();
    void onPeerClosed();
    void onTimeOut();
    // The mail failed: the server hears QUIT first when it still listens.
    void fail(bool refused, const QString& reason, bool sayGoodbye = true);
    void close();
    void finish(bool sent, bool refused, const QString& reason);
    void arm();

    Server server_;
    Letter letter_;
    SmtpDialogue dialogue_;
    TlsTickets tickets_;
    Connector* connector_ = nullptr;
    QTcpSocket* socket_ = nullptr;
    QTimer timer_;
    ByteQueue received_;
    QByteArrayList toWrite_; // the header block, then the message text in chunks
    qint32 counted_ = 0;     // bytes of the message text written so far
    bool headerQueued_ = false;
    Phase phase_ = Phase::Idle;
    bool awaiting_ = false; // a reply line is awaited
    bool askedHost_ = false;
    bool upgrading_ = false; // the TLS handshake of STARTTLS runs
    // Counts the mails: a late answer, or a handler that ended the mail, is told from the mail's own.
    int attempt_ = 0;
    // Why a mail that says QUIT after failing failed.
    bool failRefused_ = false;
    std::optional<QString> failReason_;
};
