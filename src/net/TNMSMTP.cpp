#include "net/TNMSMTP.h"

#include "net/EAbortError.h"
#include "net/ELineTooLong.h"
#include "net/ESmtpRefusal.h"
#include "net/ESockError.h"
#include "net/FileError.h"
#include "net/MailText.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QTime>
#include <algorithm>
#include <stdexcept>

namespace {
// A command's argument shares the command's line: a line break in it would send a command of
// its own.
QString argument(QString text) {
    return text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

[[noreturn]] void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}
} // namespace

TNMSMTP::TNMSMTP(QObject* parent) : TPowersock(parent) {
    Port = 25;
    // A reply that comes in after a cancellation belongs to an exchange nobody waits for any more.
    CancelHook = [this] { drop(); };
}

template <typename Step> auto TNMSMTP::waitFor(Step step, bool timed) {
    // A handler running inside one wait may start another; the outer one still waits after it.
    const bool outer = std::exchange(waiting_, true);
    if (timed)
        TimerOn();
    const auto done = qScopeGuard([this, timed, outer] {
        if (timed)
            TimerOff();
        waiting_ = outer;
    });
    try {
        return step();
    } catch (const ELineTooLong& error) {
        // Nothing is shown on the way for this: the log says what the server did.
        throw ESmtpRefusal(QString::fromUtf8(error.what()));
    }
}

QString TNMSMTP::command(const QString& text) {
    return waitFor([&] { return Transaction(text); });
}

void TNMSMTP::skipContinuation(QString line) {
    qsizetype replied = line.size();
    while (line.startsWith(QLatin1Char(' ')) || (line.size() >= 4 && line[3] == QLatin1Char('-')))
        line = continuation(replied);
}

QString TNMSMTP::continuation(qsizetype& replied) {
    QString line = waitFor([this] { return ReadLn(); });
    replied += line.size();
    if (replied > LongestReply) {
        drop();
        throw ESmtpRefusal(QStringLiteral("The server's reply is longer than %1 bytes").arg(LongestReply));
    }
    return line;
}

void TNMSMTP::drop() {
    TPowersock::Disconnect();
    ClearReceived();
}

// ---- connecting ----------------------------------------------------------------------------

void TNMSMTP::greet() {
    const QString greeting = waitFor([this] { return ReadLn(); });
    ReplyNumber = 0;
    TakeReply(greeting);
    skipContinuation(greeting);
    if (ReplyNumber >= 400)
        fail(greeting);
    Extensions.clear();
    // Without protection and login the dialogue stays the plain one it always was.
    if (Security == SecureNone && UserName.isEmpty())
        return helo();
    if (!ehlo()) {
        if (Security == SecureStartTls)
            throw ESmtpRefusal(QStringLiteral("No STARTTLS: the mail server refused EHLO: ") + LastReply);
        helo();
    } else if (Security == SecureStartTls) {
        startTls();
        // What the server offered in the clear may have been tampered with: ask again.
        if (!ehlo())
            helo();
    }
    if (!UserName.isEmpty())
        login();
}

void TNMSMTP::helo() {
    for (int retry = 0;; ++retry) {
        skipContinuation(command(QStringLiteral("HELO ") + argument(UserID)));
        if (ReplyNumber < 300)
            return;
        bool handled = false;
        if (retry == 0)
            fire(OnAuthenticationFailed, handled); // it may change UserID
        if (!handled)
            fail(QStringLiteral("Authentication failed"));
    }
}

bool TNMSMTP::ehlo() {
    // EHLO wants a name for this computer; the ID typed for HELO is it when there is one.
    const QString name = UserID.isEmpty() ? QHostInfo::localHostName() : UserID;
    QString line = command(QStringLiteral("EHLO ") + argument(name));
    if (ReplyNumber >= 300) {
        skipContinuation(line);
        return false;
    }
    Extensions.clear();
    // The first line greets; every line after it names an extension.
    qsizetype replied = line.size();
    while (line.size() >= 4 && line[3] == QLatin1Char('-')) {
        line = continuation(replied);
        Extensions.append(line.mid(4).trimmed());
    }
    return true;
}

void TNMSMTP::startTls() {
    const bool offered = std::any_of(Extensions.begin(), Extensions.end(), [](const QString& extension) {
        return extension.compare(QLatin1String("STARTTLS"), Qt::CaseInsensitive) == 0;
    });
    if (!offered)
        throw ESmtpRefusal(QStringLiteral("The mail server offers no STARTTLS"));
    StatusMessage(0, QStringLiteral("Starting TLS"));
    const QString reply = command(QStringLiteral("STARTTLS"));
    if (ReplyNumber != 220)
        throw ESmtpRefusal(reply);
    try {
        waitFor([this] { StartTls(); }, false);
    } catch (const ESockError& error) {
        throw ESmtpRefusal(QString::fromUtf8(error.what()));
    }
    StatusMessage(0, QStringLiteral("TLS started"));
}

void TNMSMTP::login() {
    if (!Encrypted())
        throw ESmtpRefusal(
            QStringLiteral("No login over a connection that is not encrypted: choose STARTTLS or TLS"));
    QStringList methods;
    for (const QString& extension : std::as_const(Extensions)) {
        // "AUTH PLAIN LOGIN", or the older "AUTH=PLAIN LOGIN".
        if (extension.startsWith(QLatin1String("AUTH"), Qt::CaseInsensitive) && extension.size() > 4 &&
            (extension[4] == QLatin1Char(' ') || extension[4] == QLatin1Char('=')))
            methods += extension.mid(5).toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    StatusMessage(0, QStringLiteral("Logging in"));
    const auto base64 = [](const QString& text) { return QString::fromLatin1(text.toUtf8().toBase64()); };
    if (methods.contains(QLatin1String("PLAIN"))) {
        loginStep(QStringLiteral("AUTH PLAIN ") + base64(QChar(u'\0') + UserName + QChar(u'\0') + Password),
                  235);
    } else if (methods.contains(QLatin1String("LOGIN"))) {
        loginStep(QStringLiteral("AUTH LOGIN"), 334);
        loginStep(base64(UserName), 334);
        loginStep(base64(Password), 235);
    } else {
        throw ESmtpRefusal(
            QStringLiteral("The mail server offers no login method we know (AUTH PLAIN or LOGIN)"));
    }
    StatusMessage(0, QStringLiteral("Logged in"));
}

void TNMSMTP::loginStep(const QString& text, int expected) {
    const QString reply = command(text);
    if (ReplyNumber != expected)
        throw ESmtpRefusal(reply);
}

void TNMSMTP::Connect() {
    {
        const bool mine = !std::exchange(InProgress, true);
        const auto done = qScopeGuard([this, mine] {
            if (mine)
                InProgress = false;
        });
        MayStartTls = Security == SecureStartTls;
        try {
            waitFor([this] { TPowersock::Connect(); }, false);
        } catch (const ESockError& error) {
            // A handshake that failed is a refusal of the protection asked for.
            if (Security == SecureTls &&
                (Trouble == ConnectionTrouble::Untrusted || Trouble == ConnectionTrouble::SecureFailed))
                throw ESmtpRefusal(QStringLiteral("TLS failed: ") + TroubleDetail);
            throw;
        }
        try {
            greet();
        } catch (const EAbortError&) {
            // The server stopped answering, or the user gave up: a QUIT would only wait again.
            drop();
            throw;
        } catch (...) {
            const std::exception_ptr refusal = std::current_exception();
            try {
                Disconnect();
            } catch (...) {
                // The refusal is what the caller needs to hear about, not the goodbye.
            }
            std::rethrow_exception(refusal);
        }
    }
    fire(OnConnect, this);
}

void TNMSMTP::Disconnect() {
    Canceled = false;
    QString reply;
    qint16 number = 0;
    // Without a connection there is nobody to say goodbye to, and the wait could only time out.
    if (Connected) {
        try {
            reply = command(QStringLiteral("QUIT"));
            number = ReplyNumber;
        } catch (...) {
            TPowersock::Disconnect();
            throw;
        }
    }
    TPowersock::Disconnect();
    if (number >= 340)
        fail(reply);
}

void TNMSMTP::Abort() {
    if (Canceled)
        return;
    // A wait can outlast the connection (we closed it while a reply was awaited), and nothing
    // but a cancellation ends it.
    if (waiting_) {
        Cancel();
        return;
    }
    if (!Connected)
        return;
    if (InProgress)
        Cancel();
    else
        drop();
}

// ---- delivering ----------------------------------------------------------------------------

void TNMSMTP::checkHeader() {
    for (int retry = 0;; ++retry) {
        const bool anyRecipient = !PostMessage.ToAddress.isEmpty() || !PostMessage.ToCarbonCopy.isEmpty() ||
                                  !PostMessage.ToBlindCarbonCopy.isEmpty();
        if (!PostMessage.FromAddress.isEmpty() && anyRecipient)
            return;
        bool handled = false;
        if (retry == 0)
            fire(OnHeaderIncomplete, handled, PostMessage.FromAddress.isEmpty() ? 1 : 2);
        if (!handled)
            fail(QStringLiteral("Incomplete Header"));
    }
}

void TNMSMTP::sendRecipients() {
    // Copies: a handler may change the lists while their entries are being sent.
    const QStringList lists[] = {PostMessage.ToAddress, PostMessage.ToCarbonCopy,
                                 PostMessage.ToBlindCarbonCopy};
    for (const QStringList& list : lists)
        for (const QString& entry : list) {
            const QString address = argument(MailText::ExtractAddress(entry));
            if (address.isEmpty())
                continue;
            command(QStringLiteral("RCPT TO:<") + address + QLatin1Char('>'));
            if (ReplyNumber > 300)
                fire(OnRecipientNotFound, entry);
        }
}

void TNMSMTP::DeliverMessage() {
    if (InProgress)
        return;
    InProgress = true;
    {
        const auto done = qScopeGuard([this] { InProgress = false; });
        BuildMessage();
        RequireConnection();
        checkHeader();
        fire(OnSendStart, this);
        const auto expect = [this](const QString& text) {
            const QString reply = command(text);
            if (ReplyNumber >= 400)
                fail(reply);
        };
        expect(QStringLiteral("RSET"));
        expect(QStringLiteral("MAIL FROM:<") + argument(PostMessage.FromAddress) + QLatin1Char('>'));
        sendRecipients();
        expect(QStringLiteral("DATA"));
        QString header;
        for (const QString& line : FinalHeader)
            header += line + QStringLiteral("\r\n");
        waitFor([&] { Write(header + QStringLiteral("\r\n\r\n")); });
        QBuffer stream(&MessageStream);
        stream.open(QIODevice::ReadOnly);
        waitFor([&] { SendStream(stream); });
        const QString reply = command(QStringLiteral("."));
        if (ReplyNumber >= 400) {
            fire(OnFailure, this);
            fail(reply);
        }
        if (ClearParams) {
            PostMessage.ToAddress.clear();
            PostMessage.ToCarbonCopy.clear();
            PostMessage.ToBlindCarbonCopy.clear();
            PostMessage.Attachments.clear();
        }
    }
    fire(OnSuccess, this);
}

void TNMSMTP::BuildMessage() {
    const bool multipart = !PostMessage.Attachments.isEmpty();
    if (multipart)
        MimeBoundary = QStringLiteral("====================54535") +
                       QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat) +
                       QStringLiteral("====");
    FinalHeader = MailText::headerLines(PostMessage, multipart ? MimeBoundary : QString());
    if (!multipart) {
        MessageStream = MailText::transparentLines(PostMessage.Body);
        return;
    }
    MessageStream = MailText::textPartHeader(MimeBoundary) + MailText::transparentLines(PostMessage.Body);
    const QStringList attachments = PostMessage.Attachments;
    for (const QString& entry : attachments)
        EncodeAttachmentPart(entry);
    MessageStream += (QStringLiteral("--") + MimeBoundary + QStringLiteral("--\r\n")).toLatin1();
}

void TNMSMTP::EncodeAttachmentPart(const QString& entry) {
    const QString encoding =
        EncodeType == UUMethods::uuCode ? QStringLiteral("x-uuencode") : QStringLiteral("base64");
    MessageStream += MailText::attachmentPartHeader(MimeBoundary, QFileInfo(entry).fileName(), encoding);
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly)) {
        fire(OnAttachmentNotFound, entry);
        throw FileError::cannotOpen(file);
    }
    fire(OnEncodeStart, entry);
    QBuffer output;
    output.open(QIODevice::ReadWrite);
    TNMUUProcessor encoder;
    encoder.Method = EncodeType;
    encoder.InputStream = &file;
    encoder.OutputStream = &output;
    encoder.Encode();
    fire(OnEncodeEnd, entry);
    MessageStream += output.data();
}
