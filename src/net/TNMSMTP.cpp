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
#include <stdexcept>

namespace {
[[noreturn]] void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}
} // namespace

TNMSMTP::TNMSMTP(QObject* parent) : TPowersock(parent) {
    Port = 25;
    // A reply that comes in after a cancellation belongs to an exchange nobody waits for any more.
    CancelHook = [this] { drop(); };
}

template <typename Step> auto TNMSMTP::waitFor(Step step, Limit limit) {
    // A handler running inside one wait may start another; the outer one still waits after it.
    const bool outer = std::exchange(waiting_, true);
    const bool timed = limit != Limit::None;
    if (limit == Limit::Anew)
        deadline_.setRemainingTime(TimeOut > 0 ? TimeOut : -1);
    // A limit already past still ends the wait, from the event loop.
    if (timed)
        TimerOn(TimeOut > 0 ? qMax<qint64>(1, deadline_.remainingTime()) : 0);
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

void TNMSMTP::drop() {
    TPowersock::Disconnect();
    ClearReceived();
}

// ---- the dialogue --------------------------------------------------------------------------

SmtpDialogue::Step TNMSMTP::run(SmtpDialogue::Step step) {
    using Kind = SmtpDialogue::Kind;
    for (;;) {
        Extensions = dialogue_.extensions();
        if (!step.status.isEmpty())
            StatusMessage(0, step.status);
        switch (step.kind) {
        case Kind::Read: {
            // The greeting's time starts with the wait for it; a reply's later lines share the
            // time of its first.
            const QString line =
                waitFor([this] { return ReadLn(); }, dialogue_.replyStarts() ? Limit::Anew : Limit::Reply);
            if (dialogue_.replyStarts()) {
                ReplyNumber = 0;
                TakeReply(line);
            }
            step = dialogue_.take(line);
            break;
        }
        case Kind::Send:
            step = dialogue_.take(command(step.text));
            break;
        case Kind::StartTls:
            try {
                waitFor([this] { StartTls(); }, Limit::None);
            } catch (const ESockError& error) {
                throw ESmtpRefusal(QString::fromUtf8(error.what()));
            }
            step = dialogue_.tlsStarted();
            break;
        case Kind::HeloRefused: {
            bool handled = false;
            fire(OnAuthenticationFailed, handled); // it may change UserID
            if (!handled)
                fail(step.text);
            step = dialogue_.retryHelo(UserID);
            break;
        }
        case Kind::RecipientRefused:
            fire(OnRecipientNotFound, step.text);
            step = dialogue_.recipientNoted();
            break;
        case Kind::Refused:
            throw ESmtpRefusal(step.text);
        case Kind::CutOff:
            drop();
            throw ESmtpRefusal(step.text);
        case Kind::MessageRefused:
            fire(OnFailure, this);
            fail(step.text);
        case Kind::Failed:
            fail(step.text);
        case Kind::Greeted:
        case Kind::SendText:
        case Kind::Delivered:
        case Kind::Closed:
            return step;
        }
    }
}

SmtpDialogue::Greeting TNMSMTP::greeting() const {
    // EHLO wants a name for this computer; the ID typed for HELO is it when there is one.
    return {Security != SecureNone || !UserName.isEmpty(),
            Security == SecureStartTls,
            Encrypted(),
            UserID,
            UserID.isEmpty() ? QHostInfo::localHostName() : UserID,
            UserName,
            Password};
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
            waitFor([this] { TPowersock::Connect(); }, Limit::None);
        } catch (const ESockError& error) {
            // A handshake that failed is a refusal of the protection asked for.
            if (Security == SecureTls &&
                (Trouble == ConnectionTrouble::Untrusted || Trouble == ConnectionTrouble::SecureFailed))
                throw ESmtpRefusal(QStringLiteral("TLS failed: ") + TroubleDetail);
            throw;
        }
        try {
            run(dialogue_.greet(greeting()));
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
    // Without a connection there is nobody to say goodbye to, and the wait could only time out.
    if (Connected) {
        try {
            run(dialogue_.quit());
        } catch (...) {
            TPowersock::Disconnect();
            throw;
        }
    }
    TPowersock::Disconnect();
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
        const int missing = SmtpDialogue::missingHeader(PostMessage.FromAddress, anyRecipient);
        if (missing == 0)
            return;
        bool handled = false;
        if (retry == 0)
            fire(OnHeaderIncomplete, handled, missing);
        if (!handled)
            fail(QStringLiteral("Incomplete Header"));
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
        // Copies: a handler may change the lists while their entries are being sent.
        run(dialogue_.deliver(PostMessage.FromAddress, PostMessage.ToAddress + PostMessage.ToCarbonCopy +
                                                           PostMessage.ToBlindCarbonCopy));
        waitFor([&] { Write(SmtpDialogue::headerBlock(FinalHeader)); });
        QBuffer stream(&MessageStream);
        stream.open(QIODevice::ReadOnly);
        waitFor([&] { SendStream(stream); });
        run(dialogue_.textSent());
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
