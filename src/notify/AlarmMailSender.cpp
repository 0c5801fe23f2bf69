#include "notify/AlarmMailSender.h"

#include "net/ESmtpRefusal.h"
#include "net/EventWait.h"
#include "net/IntegerText.h"
#include "net/MailText.h"
#include "net/TNMSMTP.h"
#include "notify/ActivityLog.h"
#include "notify/AlarmMailComposer.h"
#include "notify/AlarmReport.h"
#include "notify/DialogService.h"
#include "notify/StatusLine.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QHostInfo>
#include <QUuid>
#include <stdexcept>
#include <utility>

namespace {

// A unique message id at the sender's domain (this computer's name when the sender address has
// none): large mail providers refuse or bin mail without one.
QString messageId(const QString& fromAddress) {
    QString domain = fromAddress.section(QLatin1Char('@'), 1).remove(QLatin1Char('>')).trimmed();
    if (domain.isEmpty())
        domain = QHostInfo::localHostName();
    return QLatin1Char('<') + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('@') + domain +
           QLatin1Char('>');
}

} // namespace

AlarmMailSender::AlarmMailSender(const Controls& controls, AlarmMailComposer& composer, ActivityLog& log,
                                 DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), composer_(composer), log_(log), dialogs_(dialogs),
      statusLine_(controls.status) {
    TNMSMTP& smtp = *c_.NMSMTP1;
    smtp.OnHostResolved = [this](QObject*) { NMSMTP1HostResolved(); };
    smtp.OnInvalidHost = [this](bool& handled) { NMSMTP1InvalidHost(handled); };
    smtp.OnConnectionFailed = [this](QObject*) { NMSMTP1ConnectionFailed(); };
    smtp.OnConnect = [this](QObject*) { NMSMTP1Connect(); };
    smtp.OnSendStart = [this](QObject*) { NMSMTP1SendStart(); };
    smtp.OnPacketSent = [this](QObject*) { NMSMTP1PacketSent(); };
    smtp.OnRecipientNotFound = [this](const QString& recipient) { NMSMTP1RecipientNotFound(recipient); };
    smtp.OnSuccess = [this](QObject*) { NMSMTP1Success(); };
    smtp.OnFailure = [this](QObject*) { NMSMTP1Failure(); };
    smtp.OnDisconnect = [this](QObject*) { NMSMTP1Disconnect(); };
    smtp.OnStatus = [this](QObject*, const QString& text) { NMSMTP1Status(text); };
    smtp.OnEncodeStart = [this](const QString& file) { NMSMTP1EncodeStart(file); };
    smtp.OnEncodeEnd = [this](const QString& file) { NMSMTP1EncodeEnd(file); };

    session_ = new SmtpSession(this);
    session_->askForHost = [this] { return askForHost(); };
    connect(session_, &SmtpSession::hostResolved, this, &AlarmMailSender::NMSMTP1HostResolved);
    connect(session_, &SmtpSession::connectionFailed, this, &AlarmMailSender::NMSMTP1ConnectionFailed);
    connect(session_, &SmtpSession::connected, this, &AlarmMailSender::NMSMTP1Connect);
    connect(session_, &SmtpSession::sendStarted, this, &AlarmMailSender::NMSMTP1SendStart);
    connect(session_, &SmtpSession::packetSent, this, &AlarmMailSender::progress);
    connect(session_, &SmtpSession::recipientNotFound, this, &AlarmMailSender::NMSMTP1RecipientNotFound);
    connect(session_, &SmtpSession::messageRefused, this, &AlarmMailSender::NMSMTP1Failure);
    connect(session_, &SmtpSession::succeeded, this, &AlarmMailSender::NMSMTP1Success);
    connect(session_, &SmtpSession::disconnected, this, &AlarmMailSender::NMSMTP1Disconnect);
    connect(session_, &SmtpSession::status, this, &AlarmMailSender::NMSMTP1Status);
    connect(session_, &SmtpSession::finished, this, &AlarmMailSender::queuedMailEnded);
}

void AlarmMailSender::status(const QString& text) {
    if (statusLine_)
        statusLine_->setText(text);
}

QString AlarmMailSender::setting(const char* key) const {
    return c_.settings->text(QString::fromLatin1(key));
}

QString AlarmMailSender::composed(const AlarmReport& report) const {
    return composer_.composedText(composer_.templateText(), report);
}

AlarmMailSender::Outcome AlarmMailSender::SendMail(const AlarmReport& report) {
    return logged(report.listedUrl, {}, [&] { return deliver(composed(report), report.recipients); });
}

std::optional<QString> AlarmMailSender::ComposeAlarmMail(const AlarmReport& report) {
    try {
        return composed(report);
    } catch (...) {
        // The page's report cannot be written, as its own mail could not be.
        log_.AddLogLine(QStringLiteral("Unable to send email"));
        return std::nullopt;
    }
}

void AlarmMailSender::SendComposedMail(const QString& listedUrl, const QString& text,
                                       const QStringList& recipients) {
    enqueue(
        listedUrl, {}, [&] { return text; }, recipients);
}

void AlarmMailSender::CollectAlarmMail(const AlarmReport& report, bool exclusive) {
    if (const std::optional<QString> text = ComposeAlarmMail(report))
        collected_.add(*text, report.recipients, exclusive);
}

void AlarmMailSender::SendAlarmMail(const AlarmReport& report) {
    enqueue(
        report.listedUrl, {}, [&] { return composed(report); }, report.recipients);
}

void AlarmMailSender::SendCollectedMail() {
    for (const CycleMail::Mail& mail : std::exchange(collected_, {}).mails()) {
        const QString pages = QString::number(mail.pages) +
                              (mail.pages == 1 ? QStringLiteral(" page") : QStringLiteral(" pages"));
        enqueue(
            pages, QStringLiteral(" for ") + pages, [&] { return mail.text; }, mail.recipients);
    }
}

void AlarmMailSender::enqueue(const QString& sentFor, const QString& failedFor,
                              const std::function<QString()>& text, const QStringList& recipients) {
    try {
        queue_.append({sentFor, failedFor, text(), recipients});
    } catch (...) {
        logEnd(sentFor, failedFor, false);
        QMetaObject::invokeMethod(this, &AlarmMailSender::mailEnded, Qt::QueuedConnection);
        return;
    }
    // While the mail server is down every cycle adds its mails: past the bound the oldest waiting
    // ones go, never the one being sent, so memory stays bounded and the newest news gets out.
    while (queue_.size() - 1 > MostWaitingMails) {
        const QueuedMail mail = queue_.takeAt(1);
        logEnd(mail.sentFor, mail.failedFor, false, true,
               QStringLiteral("more than %1 mails waiting").arg(MostWaitingMails));
        QMetaObject::invokeMethod(this, &AlarmMailSender::mailEnded, Qt::QueuedConnection);
    }
    if (queue_.size() == 1)
        QMetaObject::invokeMethod(this, &AlarmMailSender::startNext, Qt::QueuedConnection);
}

void AlarmMailSender::startNext() {
    if (queue_.isEmpty() || session_->busy())
        return;
    const QueuedMail& mail = queue_.front();
    try {
        const TPostMessage letter = message(mail.text, mail.recipients);
        session_->send(server(), {letter.FromAddress, letter.ToAddress, MailText::headerLines(letter, {}),
                                  MailText::transparentLines(letter.Body)});
    } catch (...) {
        queuedMailEnded(false, false, {});
    }
}

void AlarmMailSender::queuedMailEnded(bool sent, bool refused, const QString& reason) {
    if (queue_.isEmpty())
        return;
    const QueuedMail mail = queue_.takeFirst();
    logEnd(mail.sentFor, mail.failedFor, sent, refused, reason);
    emit mailEnded();
    if (!queue_.isEmpty())
        QMetaObject::invokeMethod(this, &AlarmMailSender::startNext, Qt::QueuedConnection);
}

void AlarmMailSender::AbortQueuedMail() {
    session_->abort();
    while (!queue_.isEmpty())
        queuedMailEnded(false, false, {});
}

int AlarmMailSender::finish(QDeadlineTimer until) {
    closing_ = true;
    EventWait::untilNonePending([this] { return int(queue_.size()); }, until);
    const int givenUp = int(queue_.size());
    AbortQueuedMail();
    return givenUp;
}

void AlarmMailSender::logEnd(const QString& sentFor, const QString& failedFor, bool sent, bool refused,
                             const QString& reason) {
    if (sent)
        log_.AddLogLine(QStringLiteral("Email sent sucessfully for ") + sentFor);
    else if (refused)
        // A refused login or TLS step is not shown on the way: the log says what the server said,
        // or why the mail was given up.
        log_.AddLogLine(QStringLiteral("Unable to send email") + failedFor + QStringLiteral(": ") + reason);
    else
        // What went wrong was shown on the way, as far as the user needs to know it.
        log_.AddLogLine(QStringLiteral("Unable to send email") + failedFor);
}

AlarmMailSender::Outcome AlarmMailSender::logged(const QString& sentFor, const QString& failedFor,
                                                 const std::function<QString()>& attempt) {
    try {
        const QString accepted = attempt();
        logEnd(sentFor, failedFor, true);
        return {true, accepted};
    } catch (const ESmtpRefusal& refusal) {
        const QString reply = QString::fromUtf8(refusal.what());
        logEnd(sentFor, failedFor, false, true, reply);
        return {false, reply};
    } catch (const std::exception& error) {
        logEnd(sentFor, failedFor, false);
        return {false,
                c_.NMSMTP1->LastReply.isEmpty() ? QString::fromUtf8(error.what()) : c_.NMSMTP1->LastReply};
    } catch (...) {
        logEnd(sentFor, failedFor, false);
        return {false, c_.NMSMTP1->LastReply};
    }
}

SmtpSession::Server AlarmMailSender::server() const {
    const std::optional<int> port = IntegerText::parse(setting("EditEmailPort"));
    if (!port)
        throw std::invalid_argument("The mail server port is not a number");
    const QString security = setting("ComboEmailSecurity");
    const QString id = setting("EditEmailID");
    // EHLO wants a name for this computer; the ID typed for HELO is it when there is one.
    return {setting("EditEmailHost"),
            *port,
            c_.NMSMTP1->TimeOut,
            security == QLatin1String("STARTTLS"),
            security == QLatin1String("TLS"),
            c_.settings->tick(QStringLiteral("CheckBoxAcceptUntrusted")),
            id,
            id.isEmpty() ? QHostInfo::localHostName() : id,
            setting("EditEmailUser"),
            setting("EditEmailPassword")};
}

TPostMessage AlarmMailSender::message(const QString& text, const QStringList& recipients) const {
    TPostMessage message = c_.NMSMTP1->PostMessage;
    message.ToAddress = recipients;
    message.FromAddress = setting("Edit1localEMail");
    message.FromName = setting("EditLocalName");
    message.Subject = setting("Edit10");
    message.Date = QDateTime::currentDateTime().toString(Qt::RFC2822Date);
    message.MessageID = messageId(message.FromAddress);
    message.Body = QStringList{text} + AlarmMailComposer::footer();
    return message;
}

QString AlarmMailSender::deliver(const QString& text, const QStringList& recipients) {
    TNMSMTP& smtp = *c_.NMSMTP1;
    // A mail that stopped half-way left its connection open.
    if (smtp.Connected)
        smtp.Disconnect();
    smtp.PostMessage.Body.clear();
    const SmtpSession::Server mailServer = server();
    smtp.Host = mailServer.host;
    smtp.Port = mailServer.port;
    smtp.UserID = mailServer.heloName;
    smtp.Security = mailServer.tls        ? TNMSMTP::SecureTls
                    : mailServer.startTls ? TNMSMTP::SecureStartTls
                                          : TNMSMTP::SecureNone;
    smtp.Secure = mailServer.tls;
    smtp.UserName = mailServer.userName;
    smtp.Password = mailServer.password;
    smtp.AcceptUntrusted = mailServer.acceptUntrusted;
    smtp.PostMessage.ToAddress = recipients;
    smtp.Connect();
    if (!smtp.Connected)
        throw std::runtime_error("Not Connected");
    smtp.PostMessage = message(text, recipients);
    smtp.DeliverMessage();
    const QString accepted = smtp.LastReply;
    smtp.Disconnect();
    return accepted;
}

void AlarmMailSender::NMSMTP1HostResolved() {
    status(QStringLiteral("Host Resolved"));
}

void AlarmMailSender::tell(const QString& text) {
    if (!closing_)
        dialogs_.showMessage(text);
}

std::optional<QString> AlarmMailSender::askForHost() {
    if (closing_)
        return std::nullopt;
    return dialogs_.inputText(QStringLiteral("Invalid Host"), QStringLiteral("Please Choose another host"));
}

void AlarmMailSender::NMSMTP1InvalidHost(bool& Handled) {
    const std::optional<QString> host = askForHost();
    if (!host)
        return;
    // For this connection only: the "Host: " field keeps what the user typed there.
    c_.NMSMTP1->Host = *host;
    Handled = true;
}

void AlarmMailSender::NMSMTP1ConnectionFailed() {
    tell(QStringLiteral("Connection to mail server failed"));
}

void AlarmMailSender::NMSMTP1Connect() {
    status(QStringLiteral("Connected"));
}

void AlarmMailSender::NMSMTP1SendStart() {
    status(QStringLiteral("Sending message"));
}

void AlarmMailSender::NMSMTP1PacketSent() {
    progress(c_.NMSMTP1->BytesSent, c_.NMSMTP1->BytesTotal);
}

void AlarmMailSender::progress(qint32 sent, qint32 total) {
    status(QString::number(sent) + QStringLiteral(" bytes of ") + QString::number(total) +
           QStringLiteral(" sent"));
}

void AlarmMailSender::NMSMTP1RecipientNotFound(const QString& Recipient) {
    tell(Recipient + QStringLiteral(" not found"));
}

void AlarmMailSender::NMSMTP1Success() {
    status(QStringLiteral("Message Sent"));
}

void AlarmMailSender::NMSMTP1Failure() {
    tell(QStringLiteral("Operation Failed"));
}

void AlarmMailSender::NMSMTP1Disconnect() {
    status(QStringLiteral("Disconnected"));
}

void AlarmMailSender::NMSMTP1Status(const QString& Status) {
    status(Status);
}

void AlarmMailSender::NMSMTP1EncodeStart(const QString& Filename) {
    status(QStringLiteral("Decoding ") + Filename);
}

void AlarmMailSender::NMSMTP1EncodeEnd(const QString& Filename) {
    status(QStringLiteral("Encoding ") + Filename);
}
