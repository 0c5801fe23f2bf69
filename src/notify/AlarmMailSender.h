#pragma once

#include "net/SmtpSession.h"
#include "notify/CycleMail.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class ActivityLog;
class AlarmMailComposer;
class DialogService;
class Settings;
class StatusLine;
class TNMSMTP;
struct AlarmReport;
struct TPostMessage;

// Sends one alarm mail through the mail server of the "Email Setup" tab, one connection a mail,
// shows each step in the status line, asks or warns the user when a step needs them, and ends
// every mail with one line in the activity log. The mails of a cycle can also be collected and
// go out as one. The alarm mails of a cycle are queued and go out one after another without
// waiting, so the cycle never waits for a mail server; the test mail waits for its answer.
class AlarmMailSender : public QObject {
    Q_OBJECT
public:
    struct Controls {
        const Settings* settings; // the mail server, the sender, the subject and the login
        TNMSMTP* NMSMTP1;
        StatusLine* status;
    };

    // Mails waiting behind the one being sent; a newer one past this gives up the oldest.
    static constexpr qsizetype MostWaitingMails = 100;

    AlarmMailSender(const Controls& controls, AlarmMailComposer& composer, ActivityLog& log,
                    DialogService& dialogs, QObject* parent = nullptr);

    struct Outcome {
        bool sent = false;
        QString lastReply; // the server's last reply line, or why no server was reached
    };

    // Composes and sends the mail, waiting for it, and logs the outcome; never raises.
    Outcome SendMail(const AlarmReport& report);
    // Composes the mail and queues it; it goes out once the mails before it have ended, unless
    // MostWaitingMails newer ones wait behind it by then.
    void SendAlarmMail(const AlarmReport& report);
    // Composes the mail now, while the check's macros describe its page; nothing when it cannot
    // be written, which the log says.
    std::optional<QString> ComposeAlarmMail(const AlarmReport& report);
    // Queues a mail composed before.
    void SendComposedMail(const QString& listedUrl, const QString& text, const QStringList& recipients);
    // Keeps the page's report for the cycle's one mail, composed now from the check just made.
    // exclusive: it goes to its own recipients only.
    void CollectAlarmMail(const AlarmReport& report, bool exclusive = false);
    // Changes the text of the reports collected so far.
    void AmendCollectedMail(const std::function<QString(QString)>& change) { collected_.amend(change); }
    bool HasCollectedMail() const { return !collected_.isEmpty(); }
    // Queues the reports collected so far as one mail, and starts a new collection.
    void SendCollectedMail();
    // No queued mail is waiting or being sent.
    bool MailQueueEmpty() const { return queue_.isEmpty(); }
    // Ends the mail being sent and gives up the queued ones; each logs that it was not sent.
    void AbortQueuedMail();
    // The program ends: nothing asks the user any more, and the queued mails get until `until` to
    // go out before the rest are given up. Returns how many were given up.
    int finish(QDeadlineTimer until);

    void NMSMTP1HostResolved();
    void NMSMTP1InvalidHost(bool& Handled);
    void NMSMTP1ConnectionFailed();
    void NMSMTP1Connect();
    void NMSMTP1SendStart();
    void NMSMTP1PacketSent();
    void NMSMTP1RecipientNotFound(const QString& Recipient);
    void NMSMTP1Success();
    void NMSMTP1Failure();
    void NMSMTP1Disconnect();
    void NMSMTP1Status(const QString& Status);
    void NMSMTP1EncodeStart(const QString& Filename);
    void NMSMTP1EncodeEnd(const QString& Filename);

signals:
    // A queued mail has ended, sent or not, and its log line is written.
    void mailEnded();

private:
    struct QueuedMail {
        QString sentFor;
        QString failedFor;
        QString text;
        QStringList recipients;
    };

    QString composed(const AlarmReport& report) const;
    void enqueue(const QString& sentFor, const QString& failedFor, const std::function<QString()>& text,
                 const QStringList& recipients);
    void startNext();
    void queuedMailEnded(bool sent, bool refused, const QString& reason);
    // The one line that ends a mail.
    void logEnd(const QString& sentFor, const QString& failedFor, bool sent, bool refused = false,
                const QString& reason = {});
    // The mail server of the settings; raises when its port is no number.
    SmtpSession::Server server() const;
    // The alarm mail as it goes out, on the client's own message (its mailer line).
    TPostMessage message(const QString& text, const QStringList& recipients) const;
    std::optional<QString> askForHost();
    void progress(qint32 sent, qint32 total);
    // Makes the attempt and logs its end: "for " + what it sent for, or why it was not sent with
    // failedFor after "Unable to send email".
    Outcome logged(const QString& sentFor, const QString& failedFor, const std::function<QString()>& attempt);
    // Returns the server's answer to the message, which tells whether it took it.
    QString deliver(const QString& text, const QStringList& recipients);
    // The status line may already be gone when the client reports its last steps during close.
    void status(const QString& text);
    // Shows the user a step that needs them; nobody is asked once the program ends.
    void tell(const QString& text);
    QString setting(const char* key) const;

    Controls c_;
    AlarmMailComposer& composer_;
    ActivityLog& log_;
    DialogService& dialogs_;
    QPointer<StatusLine> statusLine_;
    CycleMail collected_;
    SmtpSession* session_ = nullptr;
    QList<QueuedMail> queue_; // the first is the one being sent
    bool closing_ = false;
};
