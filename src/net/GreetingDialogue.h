#pragma once

#include "net/SmtpDialogue.h"
#include "net/StreamAddress.h"

#include <QString>

// What a probe says to a mail server, given its reply lines: wait for the greeting, ask for
// STARTTLS where the connection is to be upgraded (STLS for POP3), and say goodbye (QUIT,
// LOGOUT) once the greeting, or the handshake after STARTTLS, is through. Owns no socket: its
// driver sends what a step says and feeds it the lines that come back one at a time. SMTP is
// spoken by the mail client's own SmtpDialogue, so both greet a server byte for byte alike.
class GreetingDialogue {
public:
    enum class Kind {
        Read,     // read the next line and take() it
        Send,     // send the command line, then take() the first line of its reply
        StartTls, // start the handshake, then call tlsStarted()
        Done,     // send the goodbye where there is one, and end: failed when error is not empty
    };
    struct Step {
        Kind kind = Kind::Read;
        QString send;  // without its line end
        QString error; // Done: why the server's answer fails the check
    };

    // The most of a server's line an error text quotes.
    static constexpr qsizetype LongestQuote = 200;

    // ehloName: the word after EHLO (SMTP).
    Step begin(StreamAddress::Dialect dialect, bool startTls, const QString& ehloName);
    // Takes one line as it came, line end included.
    Step take(const QString& line);
    Step tlsStarted();
    // The greeting has been read in full: the lines taken before it became true were its.
    bool greeted() const { return greeted_; }

    // The line as an error text quotes it: without its line end, at most LongestQuote characters.
    static QString quote(const QString& line);

private:
    enum class Await { Nothing, Greeting, StartTls };

    Step takeSmtp(const QString& line);
    Step takeOther(const QString& line);
    Step goodbye(const QString& error = {});
    Step refused(const QString& reply);
    Step send(const QString& command);

    StreamAddress::Dialect dialect_ = StreamAddress::Dialect::None;
    bool startTls_ = false;
    Await await_ = Await::Nothing;
    bool greeted_ = false;
    int tag_ = 0;           // IMAP commands are tagged a1, a2, ...
    qsizetype replied_ = 0; // bytes of the reply so far (IMAP's untagged lines, before the tagged one)
    SmtpDialogue smtp_;
};
