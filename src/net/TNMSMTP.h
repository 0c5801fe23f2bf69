#pragma once

#include "net/SmtpDialogue.h"
#include "net/TExStringList.h"
#include "net/TNMUUProcessor.h"
#include "net/TPostMessage.h"
#include "net/TPowersock.h"

#include <QByteArray>
#include <QDeadlineTimer>

// The mail client: connects to a mail server, greets it with HELO and delivers one message per
// call with the SMTP commands, the message written as a header block followed by the body, or
// as a multipart message when there are attachments. For today's servers it can protect the
// connection (STARTTLS, or TLS from the first byte) and log in; it then greets with EHLO.
//
// Every wait of the dialogue (greeting, each reply, sending the message text) is bounded by
// TimeOut, so a server that stops answering ends the operation with its abort error instead of
// holding the program; a reply of many lines must be whole within TimeOut of its command. Abort
// ends any wait at once.
class TNMSMTP : public TPowersock {
    Q_OBJECT
public:
    using TRecipientNotFound = std::function<void(const QString& Recipient)>;
    using THeaderInComplete = std::function<void(bool& handled, int hiType)>;
    using TFileItem = std::function<void(const QString& Filename)>;

    explicit TNMSMTP(QObject* parent = nullptr); // Port 25

    // The greeting exchange succeeded (the client's own event, raised by Connect after HELO;
    // it hides the session layer's socket-level one).
    TNotifyEvent OnConnect;
    QString UserID; // the word after "HELO "

    // How the connection is protected: not at all, upgraded with STARTTLS after the greeting,
    // or TLS from the first byte (Secure must then be set as well).
    enum SecurityMode { SecureNone, SecureStartTls, SecureTls };
    SecurityMode Security = SecureNone;
    // The login; an empty user name logs in not at all. The password only ever goes over an
    // encrypted connection.
    QString UserName;
    QString Password;
    // The extensions the server named in its answer to EHLO; empty after HELO.
    QStringList Extensions;
    TPostMessage PostMessage;
    TExStringList FinalHeader; // the header lines built by the latest delivery
    UUMethods EncodeType = UUMethods::uuMime;
    bool ClearParams = true;
    TRecipientNotFound OnRecipientNotFound;
    THeaderInComplete OnHeaderIncomplete; // hiType 1: no sender address, 2: no recipient
    TNotifyEvent OnSendStart;
    TNotifyEvent OnSuccess;
    TNotifyEvent OnFailure; // the server refused the message text
    TFileItem OnEncodeStart;
    TFileItem OnEncodeEnd;
    TFileItem OnAttachmentNotFound;
    THandledEvent OnAuthenticationFailed; // the server refused HELO

    // A reply of many lines (the answer to EHLO names every extension) is cut off past this.
    static constexpr qsizetype LongestReply = SmtpDialogue::LongestReply;

    bool InProgress = false;
    QByteArray MessageStream; // the message text after the header block
    QString MimeBoundary;

    void Connect() override;
    void Disconnect() override;
    void Abort() override;
    void DeliverMessage();
    void BuildMessage();

private:
    // How a wait is bounded: not at all (connecting keeps a timer of its own), by TimeOut from
    // now, or by what is left of the time the reply's command started.
    enum class Limit { None, Anew, Reply };
    // Runs one wait of the dialogue. Abort ends it, whatever the client is doing; the limit, when
    // it passes, ends it too.
    template <typename Step> auto waitFor(Step step, Limit limit = Limit::Anew);
    QString command(const QString& text);
    // Takes the dialogue's steps until one that is the caller's to take (greeted, the message
    // text to send, delivered, closed); a step that fails raises.
    SmtpDialogue::Step run(SmtpDialogue::Step step);
    SmtpDialogue::Greeting greeting() const;
    void checkHeader();
    void EncodeAttachmentPart(const QString& entry);
    // Closes without a word to the server and forgets what it sent.
    void drop();

    bool waiting_ = false;
    SmtpDialogue dialogue_;
    // When the reply under way must be whole: TimeOut after its command went out (or after the
    // greeting was awaited), however many lines the server spreads it over.
    QDeadlineTimer deadline_;
};
