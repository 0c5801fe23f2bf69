#include "notify/AlarmMailSender.h"

#include "net/ESmtpRefusal.h"
#include "net/IntegerText.h"
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

TNMSMTP::SecurityMode securityMode(const QString& shown) {
    if (shown == QLatin1String("STARTTLS"))
        return TNMSMTP::SecureStartTls;
    if (shown == QLatin1String("TLS"))
        return TNMSMTP::SecureTls;
    return TNMSMTP::SecureNone;
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

void AlarmMailSender::CollectAlarmMail(const AlarmReport& report) {
    try {
        collected_.add(composed(report), report.recipients);
    } catch (...) {
        // The page's report cannot be written, as its own mail could not be.
        log_.AddLogLine(QStringLiteral("Unable to send email"));
    }
}

void AlarmMailSender::SendCollectedMail() {
    const CycleMail mail = std::exchange(collected_, {});
    const QString pages = QString::number(mail.pageCount()) +
                          (mail.pageCount() == 1 ? QStringLiteral(" page") : QStringLiteral(" pages"));
    logged(pages, QStringLiteral(" for ") + pages, [&] { return deliver(mail.text(), mail.recipients()); });
}

AlarmMailSender::Outcome AlarmMailSender::logged(const QString& sentFor, const QString& failedFor,
                                                 const std::function<QString()>& attempt) {
    const QString failed = QStringLiteral("Unable to send email") + failedFor;
    try {
        const QString accepted = attempt();
        log_.AddLogLine(QStringLiteral("Email sent sucessfully for ") + sentFor);
        return {true, accepted};
    } catch (const ESmtpRefusal& refusal) {
        // A refused login or TLS step is not shown on the way: the log says what the server said.
        const QString reply = QString::fromUtf8(refusal.what());
        log_.AddLogLine(failed + QStringLiteral(": ") + reply);
        return {false, reply};
    } catch (const std::exception& error) {
        // What went wrong was shown on the way, as far as the user needs to know it.
        log_.AddLogLine(failed);
        return {false,
                c_.NMSMTP1->LastReply.isEmpty() ? QString::fromUtf8(error.what()) : c_.NMSMTP1->LastReply};
    } catch (...) {
        log_.AddLogLine(failed);
        return {false, c_.NMSMTP1->LastReply};
    }
}

QString AlarmMailSender::deliver(const QString& text, const QStringList& recipients) {
    TNMSMTP& smtp = *c_.NMSMTP1;
    // A mail that stopped half-way left its connection open.
    if (smtp.Connected)
        smtp.Disconnect();
    smtp.PostMessage.Body.clear();
    smtp.Host = setting("EditEmailHost");
    const std::optional<int> port = IntegerText::parse(setting("EditEmailPort"));
    if (!port)
        throw std::invalid_argument("The mail server port is not a number");
    smtp.Port = *port;
    smtp.UserID = setting("EditEmailID");
    smtp.Security = securityMode(setting("ComboEmailSecurity"));
    smtp.Secure = smtp.Security == TNMSMTP::SecureTls;
    smtp.UserName = setting("EditEmailUser");
    smtp.Password = setting("EditEmailPassword");
    smtp.AcceptUntrusted = c_.settings->tick(QStringLiteral("CheckBoxAcceptUntrusted"));
    smtp.PostMessage.ToAddress = recipients;
    smtp.Connect();
    if (!smtp.Connected)
        throw std::runtime_error("Not Connected");
    TPostMessage& message = smtp.PostMessage;
    message.FromAddress = setting("Edit1localEMail");
    message.FromName = setting("EditLocalName");
    message.Subject = setting("Edit10");
    message.Date = QDateTime::currentDateTime().toString(Qt::RFC2822Date);
    message.MessageID = messageId(message.FromAddress);
    message.Body = QStringList{text} + AlarmMailComposer::footer();
    smtp.DeliverMessage();
    const QString accepted = smtp.LastReply;
    smtp.Disconnect();
    return accepted;
}

void AlarmMailSender::NMSMTP1HostResolved() {
    status(QStringLiteral("Host Resolved"));
}

void AlarmMailSender::NMSMTP1InvalidHost(bool& Handled) {
    const std::optional<QString> host =
        dialogs_.inputText(QStringLiteral("Invalid Host"), QStringLiteral("Please Choose another host"));
    if (!host)
        return;
    // For this connection only: the "Host: " field keeps what the user typed there.
    c_.NMSMTP1->Host = *host;
    Handled = true;
}

void AlarmMailSender::NMSMTP1ConnectionFailed() {
    dialogs_.showMessage(QStringLiteral("Connection to mail server failed"));
}

void AlarmMailSender::NMSMTP1Connect() {
    status(QStringLiteral("Connected"));
}

void AlarmMailSender::NMSMTP1SendStart() {
    status(QStringLiteral("Sending message"));
}

void AlarmMailSender::NMSMTP1PacketSent() {
    status(QString::number(c_.NMSMTP1->BytesSent) + QStringLiteral(" bytes of ") +
           QString::number(c_.NMSMTP1->BytesTotal) + QStringLiteral(" sent"));
}

void AlarmMailSender::NMSMTP1RecipientNotFound(const QString& Recipient) {
    dialogs_.showMessage(Recipient + QStringLiteral(" not found"));
}

void AlarmMailSender::NMSMTP1Success() {
    status(QStringLiteral("Message Sent"));
}

void AlarmMailSender::NMSMTP1Failure() {
    dialogs_.showMessage(QStringLiteral("Operation Failed"));
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
