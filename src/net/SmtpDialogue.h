#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// What a mail client says to a mail server, and when, given the server's reply lines: the
// greeting, HELO or EHLO, STARTTLS and EHLO again, the login, the envelope, the message and
// QUIT. It owns no socket: its driver sends what a step says, feeds it the lines that come back
// one at a time, and does what the step asks of it (an upgrade to TLS, the message text, a
// question to the user). The waiting TNMSMTP and the non-blocking SmtpSession both drive it, so
// both speak the same dialogue byte for byte.
class SmtpDialogue {
public:
    struct Greeting {
        bool extended = false;  // greet with EHLO: protection or a login is asked for
        bool startTls = false;  // upgrade with STARTTLS after the greeting
        bool encrypted = false; // the connection speaks TLS already
        QString heloName;       // the word after HELO
        QString ehloName;       // the word after EHLO
        QString userName;       // empty: no login
        QString password;
    };

    enum class Kind {
        Read,             // read the next line and take() it
        Send,             // send text as a command line, then take() the first line of its reply
        StartTls,         // upgrade the connection, then call tlsStarted()
        HeloRefused,      // the server refused HELO: retryHelo() once the user gave another name
        Greeted,          // the greeting and the login are done
        RecipientRefused, // text is the refused entry; go on with recipientNoted()
        SendText,         // send the header block and the message text, then call textSent()
        Delivered,        // the server took the message
        Closed,           // the server answered QUIT
        Refused,          // the server refused protection or login, or offers neither: text says why
        Failed,           // the step failed; text is the reply or why
        MessageRefused,   // the server refused the message text; text is its reply
        CutOff,           // the reply never ends: drop the connection; text says why
    };
    struct Step {
        Kind kind = Kind::Read;
        QString text;
        QString status; // shown when the step is taken
    };

    // A reply of many lines (the answer to EHLO names every extension) is cut off past this.
    static constexpr qsizetype LongestReply = 64 * 1024;

    Step greet(const Greeting& greeting);
    Step retryHelo(const QString& heloName);
    Step tlsStarted();
    Step deliver(const QString& fromAddress, const QStringList& recipients);
    Step recipientNoted();
    Step textSent();
    Step quit();
    // Takes one line as it came, line end included.
    Step take(const QString& line);

    // The next line taken starts a reply (rather than continuing one).
    bool replyStarts() const { return replied_ == 0; }
    qint16 replyNumber() const { return number_; }
    QString lastReply() const { return lastReply_; }
    QStringList extensions() const { return extensions_; }

    // Which part of the header is missing: 0 none, 1 the sender's address, 2 every recipient.
    static int missingHeader(const QString& fromAddress, bool anyRecipient);
    // The header lines as they go out after DATA, with the blank lines that end them.
    static QString headerBlock(const QStringList& lines);

private:
    enum class Await {
        Nothing,
        Greeting,
        Helo,
        Ehlo,
        StartTls,
        Login,
        Rset,
        MailFrom,
        Recipient,
        Data,
        Dot,
        Quit
    };
    // Reads on while the reply goes on over several lines: dashed lines, or also lines that
    // start with a blank.
    enum class Continues { Never, Dashed, DashedOrIndented };

    Step send(Await await, const QString& text, Continues continues = Continues::Never);
    Step replied(const QString& first);
    Step afterGreeting(const QString& first);
    Step afterEhlo();
    Step helo();
    Step ehlo();
    Step startTls();
    Step afterHelo();
    Step login();
    Step nextLoginStep();
    Step nextRecipient();

    Greeting greeting_;
    Await await_ = Await::Nothing;
    Continues continues_ = Continues::Never;
    bool takingExtensions_ = false;
    bool heloRetried_ = false;
    bool tlsDone_ = false;
    qsizetype replied_ = 0; // bytes of the reply so far
    QString first_;         // the reply's first line
    qint16 number_ = 0;
    QString lastReply_;
    QStringList extensions_;
    QList<std::pair<QString, int>> loginSteps_; // what to send, and the reply it must get
    QString from_;
    QStringList recipients_;
    qsizetype nextRecipient_ = 0;
};
