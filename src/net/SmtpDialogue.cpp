#include "net/SmtpDialogue.h"

#include "net/MailText.h"
#include "net/ReplyNumber.h"

#include <algorithm>

namespace {
// A command's argument shares the command's line: a line break in it would send a command of
// its own.
QString argument(QString text) {
    return text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

QString base64(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toBase64());
}

SmtpDialogue::Step step(SmtpDialogue::Kind kind, const QString& text = {}, const QString& status = {}) {
    return {kind, text, status};
}
} // namespace

int SmtpDialogue::missingHeader(const QString& fromAddress, bool anyRecipient) {
    if (fromAddress.isEmpty())
        return 1;
    return anyRecipient ? 0 : 2;
}

QString SmtpDialogue::headerBlock(const QStringList& lines) {
    QString header;
    for (const QString& line : lines)
        header += line + QStringLiteral("\r\n");
    return header + QStringLiteral("\r\n\r\n");
}

SmtpDialogue::Step SmtpDialogue::send(Await await, const QString& text, Continues continues) {
    await_ = await;
    continues_ = continues;
    takingExtensions_ = false;
    replied_ = 0;
    number_ = 0;
    return step(Kind::Send, text);
}

SmtpDialogue::Step SmtpDialogue::greet(const Greeting& greeting) {
    greeting_ = greeting;
    heloRetried_ = false;
    tlsDone_ = false;
    await_ = Await::Greeting;
    continues_ = Continues::DashedOrIndented;
    takingExtensions_ = false;
    replied_ = 0;
    number_ = 0;
    return step(Kind::Read);
}

SmtpDialogue::Step SmtpDialogue::take(const QString& line) {
    if (replied_ == 0) {
        first_ = lastReply_ = line;
        if (const std::optional<qint16> number = ::replyNumber(line))
            number_ = *number;
        replied_ = line.size();
        if (await_ == Await::Ehlo) {
            // The first line greets; every line after it names an extension, unless EHLO was refused.
            takingExtensions_ = number_ < 300;
            continues_ = takingExtensions_ ? Continues::Dashed : Continues::DashedOrIndented;
            if (takingExtensions_)
                extensions_.clear();
        }
    } else {
        replied_ += line.size();
        if (replied_ > LongestReply) {
            replied_ = 0;
            await_ = Await::Nothing;
            return step(Kind::CutOff,
                        QStringLiteral("The server's reply is longer than %1 bytes").arg(LongestReply));
        }
        if (takingExtensions_)
            extensions_.append(line.mid(4).trimmed());
    }
    const bool dashed = line.size() >= 4 && line[3] == QLatin1Char('-');
    const bool goesOn = continues_ == Continues::Dashed ? dashed
                        : continues_ == Continues::DashedOrIndented
                            ? dashed || line.startsWith(QLatin1Char(' '))
                            : false;
    if (goesOn)
        return step(Kind::Read);
    replied_ = 0;
    return replied(first_);
}

SmtpDialogue::Step SmtpDialogue::replied(const QString& first) {
    const Await answered = std::exchange(await_, Await::Nothing);
    switch (answered) {
    case Await::Greeting:
        return afterGreeting(first);
    case Await::Helo:
        if (number_ < 300)
            return afterHelo();
        // The first refusal may be answered with another name; a second one ends the greeting.
        return step(heloRetried_ ? Kind::Failed : Kind::HeloRefused, QStringLiteral("Authentication failed"));
    case Await::Ehlo:
        return afterEhlo();
    case Await::StartTls:
        return number_ == 220 ? step(Kind::StartTls) : step(Kind::Refused, first);
    case Await::Login:
        if (number_ != loginSteps_.front().second)
            return step(Kind::Refused, first);
        loginSteps_.removeFirst();
        return loginSteps_.isEmpty() ? step(Kind::Greeted, {}, QStringLiteral("Logged in")) : nextLoginStep();
    case Await::Rset:
        return number_ >= 400 ? step(Kind::Failed, first)
                              : send(Await::MailFrom,
                                     QStringLiteral("MAIL FROM:<") + argument(from_) + QLatin1Char('>'));
    case Await::MailFrom:
        return number_ >= 400 ? step(Kind::Failed, first) : nextRecipient();
    case Await::Recipient:
        return number_ > 300 ? step(Kind::RecipientRefused, recipients_[nextRecipient_ - 1])
                             : nextRecipient();
    case Await::Data:
        return number_ >= 400 ? step(Kind::Failed, first) : step(Kind::SendText);
    case Await::Dot:
        return number_ >= 400 ? step(Kind::MessageRefused, first) : step(Kind::Delivered);
    case Await::Quit:
        return number_ >= 340 ? step(Kind::Failed, first) : step(Kind::Closed);
    case Await::Nothing:
        break;
    }
    return step(Kind::Failed, first);
}

SmtpDialogue::Step SmtpDialogue::afterGreeting(const QString& first) {
    if (number_ >= 400)
        return step(Kind::Failed, first);
    extensions_.clear();
    // Without protection and login the dialogue stays the plain one it always was.
    return greeting_.extended ? ehlo() : helo();
}

SmtpDialogue::Step SmtpDialogue::helo() {
    return send(Await::Helo, QStringLiteral("HELO ") + argument(greeting_.heloName),
                Continues::DashedOrIndented);
}

SmtpDialogue::Step SmtpDialogue::retryHelo(const QString& heloName) {
    heloRetried_ = true;
    greeting_.heloName = heloName;
    return helo();
}

SmtpDialogue::Step SmtpDialogue::ehlo() {
    return send(Await::Ehlo, QStringLiteral("EHLO ") + argument(greeting_.ehloName));
}

SmtpDialogue::Step SmtpDialogue::afterEhlo() {
    const bool upgrade = greeting_.startTls && !tlsDone_;
    if (number_ >= 300) {
        if (upgrade)
            return step(Kind::Refused,
                        QStringLiteral("No STARTTLS: the mail server refused EHLO: ") + lastReply_);
        return helo();
    }
    return upgrade ? startTls() : afterHelo();
}

SmtpDialogue::Step SmtpDialogue::startTls() {
    const bool offered = std::any_of(extensions_.begin(), extensions_.end(), [](const QString& extension) {
        return extension.compare(QLatin1String("STARTTLS"), Qt::CaseInsensitive) == 0;
    });
    if (!offered)
        return step(Kind::Refused, QStringLiteral("The mail server offers no STARTTLS"));
    Step next = send(Await::StartTls, QStringLiteral("STARTTLS"));
    next.status = QStringLiteral("Starting TLS");
    return next;
}

SmtpDialogue::Step SmtpDialogue::tlsStarted() {
    tlsDone_ = true;
    greeting_.encrypted = true;
    // What the server offered in the clear may have been tampered with: ask again.
    Step next = ehlo();
    next.status = QStringLiteral("TLS started");
    return next;
}

SmtpDialogue::Step SmtpDialogue::afterHelo() {
    return greeting_.userName.isEmpty() ? step(Kind::Greeted) : login();
}

SmtpDialogue::Step SmtpDialogue::login() {
    if (!greeting_.encrypted)
        return step(
            Kind::Refused,
            QStringLiteral("No login over a connection that is not encrypted: choose STARTTLS or TLS"));
    QStringList methods;
    for (const QString& extension : std::as_const(extensions_)) {
        // "AUTH PLAIN LOGIN", or the older "AUTH=PLAIN LOGIN".
        if (extension.startsWith(QLatin1String("AUTH"), Qt::CaseInsensitive) && extension.size() > 4 &&
            (extension[4] == QLatin1Char(' ') || extension[4] == QLatin1Char('=')))
            methods += extension.mid(5).toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    const QString& user = greeting_.userName;
    const QString& password = greeting_.password;
    if (methods.contains(QLatin1String("PLAIN"))) {
        loginSteps_ = {
            {QStringLiteral("AUTH PLAIN ") + base64(QChar(u'\0') + user + QChar(u'\0') + password), 235}};
    } else if (methods.contains(QLatin1String("LOGIN"))) {
        loginSteps_ = {{QStringLiteral("AUTH LOGIN"), 334}, {base64(user), 334}, {base64(password), 235}};
    } else {
        return step(Kind::Refused,
                    QStringLiteral("The mail server offers no login method we know (AUTH PLAIN or LOGIN)"),
                    QStringLiteral("Logging in"));
    }
    Step next = nextLoginStep();
    next.status = QStringLiteral("Logging in");
    return next;
}

SmtpDialogue::Step SmtpDialogue::nextLoginStep() {
    return send(Await::Login, loginSteps_.front().first);
}

SmtpDialogue::Step SmtpDialogue::deliver(const QString& fromAddress, const QStringList& recipients) {
    from_ = fromAddress;
    recipients_ = recipients;
    nextRecipient_ = 0;
    return send(Await::Rset, QStringLiteral("RSET"));
}

SmtpDialogue::Step SmtpDialogue::nextRecipient() {
    while (nextRecipient_ < recipients_.size()) {
        const QString address = argument(MailText::ExtractAddress(recipients_[nextRecipient_++]));
        if (!address.isEmpty())
            return send(Await::Recipient, QStringLiteral("RCPT TO:<") + address + QLatin1Char('>'));
    }
    return send(Await::Data, QStringLiteral("DATA"));
}

SmtpDialogue::Step SmtpDialogue::recipientNoted() {
    return nextRecipient();
}

SmtpDialogue::Step SmtpDialogue::textSent() {
    return send(Await::Dot, QStringLiteral("."));
}

SmtpDialogue::Step SmtpDialogue::quit() {
    return send(Await::Quit, QStringLiteral("QUIT"));
}
