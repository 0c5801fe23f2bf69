#include "net/GreetingDialogue.h"

#include <stdexcept>

namespace {
using Kind = GreetingDialogue::Kind;

QString bare(const QString& line) {
    QString text = line;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

// The line starts with the word, followed by a blank or nothing; IMAP and POP3 take any case.
bool opens(const QString& line, const QString& word) {
    const QString text = bare(line);
    return text.startsWith(word, Qt::CaseInsensitive) &&
           (text.size() == word.size() || text[word.size()] == QLatin1Char(' '));
}
} // namespace

QString GreetingDialogue::quote(const QString& line) {
    return bare(line).left(LongestQuote);
}

GreetingDialogue::Step GreetingDialogue::begin(StreamAddress::Dialect dialect, bool startTls,
                                               const QString& ehloName) {
    dialect_ = dialect;
    startTls_ = startTls;
    await_ = Await::Greeting;
    greeted_ = false;
    tag_ = 0;
    replied_ = 0;
    // The mail client's dialogue only reads the greeting at first.
    if (dialect_ == StreamAddress::Dialect::Smtp)
        smtp_.greet({true, startTls, !startTls, ehloName, ehloName, {}, {}});
    return {};
}

GreetingDialogue::Step GreetingDialogue::take(const QString& line) {
    if (await_ == Await::Nothing)
        return {Kind::Done, {}, QStringLiteral("The server spoke out of turn: ") + quote(line)};
    return dialect_ == StreamAddress::Dialect::Smtp ? takeSmtp(line) : takeOther(line);
}

GreetingDialogue::Step GreetingDialogue::takeSmtp(const QString& line) {
    using SmtpKind = SmtpDialogue::Kind;
    SmtpDialogue::Step step;
    try {
        step = smtp_.take(line);
    } catch (const std::out_of_range&) {
        // A reply number past 16 bits answers nothing that was asked.
        return refused(line);
    }
    switch (step.kind) {
    case SmtpKind::Read:
        return {};
    case SmtpKind::Send:
        // The greeting ends where the dialogue answers it, with EHLO; without STARTTLS to ask
        // for, that is where the probe is done.
        greeted_ = true;
        if (!startTls_)
            return goodbye();
        return {Kind::Send, step.text, {}};
    case SmtpKind::StartTls:
        await_ = Await::Nothing;
        return {Kind::StartTls, {}, {}};
    case SmtpKind::CutOff:
        await_ = Await::Nothing;
        return {Kind::Done, {}, step.text};
    default:
        return refused(step.text);
    }
}

GreetingDialogue::Step GreetingDialogue::takeOther(const QString& line) {
    const bool imap = dialect_ == StreamAddress::Dialect::Imap;
    if (await_ == Await::Greeting) {
        const bool welcome =
            imap ? opens(line, QStringLiteral("* OK")) || opens(line, QStringLiteral("* PREAUTH"))
                 : opens(line, QStringLiteral("+OK"));
        if (!welcome)
            return refused(line);
        greeted_ = true;
        if (!startTls_)
            return goodbye();
        return send(imap ? QStringLiteral("STARTTLS") : QStringLiteral("STLS"));
    }
    // IMAP may say more before it answers the command, in untagged lines; they are bounded as a
    // mail server's reply of many lines is.
    if (imap && line.startsWith(QLatin1String("* "))) {
        replied_ += line.size();
        if (replied_ <= SmtpDialogue::LongestReply)
            return {};
        await_ = Await::Nothing;
        return {Kind::Done,
                {},
                QStringLiteral("The server's reply is longer than %1 bytes").arg(SmtpDialogue::LongestReply)};
    }
    const bool agreed =
        imap ? opens(line, QStringLiteral("a%1 OK").arg(tag_)) : opens(line, QStringLiteral("+OK"));
    if (!agreed)
        return refused(line);
    await_ = Await::Nothing;
    return {Kind::StartTls, {}, {}};
}

GreetingDialogue::Step GreetingDialogue::tlsStarted() {
    return goodbye();
}

GreetingDialogue::Step GreetingDialogue::send(const QString& command) {
    await_ = Await::StartTls;
    replied_ = 0;
    if (dialect_ == StreamAddress::Dialect::Imap)
        return {Kind::Send, QStringLiteral("a%1 ").arg(++tag_) + command, {}};
    return {Kind::Send, command, {}};
}

GreetingDialogue::Step GreetingDialogue::goodbye(const QString& error) {
    await_ = Await::Nothing;
    if (dialect_ == StreamAddress::Dialect::Imap)
        return {Kind::Done, QStringLiteral("a%1 LOGOUT").arg(++tag_), error};
    return {Kind::Done, QStringLiteral("QUIT"), error};
}

GreetingDialogue::Step GreetingDialogue::refused(const QString& reply) {
    // A refusal leaves the session open, so the server is still told goodbye.
    return goodbye((greeted_ ? QStringLiteral("STARTTLS refused: ") : QStringLiteral("Greeting refused: ")) +
                   quote(reply));
}
