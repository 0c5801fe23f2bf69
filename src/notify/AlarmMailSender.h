#pragma once

#include "notify/CycleMail.h"

#include <QObject>
#include <QPointer>
#include <functional>

class ActivityLog;
class AlarmMailComposer;
class DialogService;
class Settings;
class StatusLine;
class TNMSMTP;
struct AlarmReport;

// Sends one alarm mail through the mail server of the "Email Setup" tab, one connection a mail,
// shows each step in the status line, asks or warns the user when a step needs them, and ends
// every mail with one line in the activity log. The mails of a cycle can also be collected and
// go out as one.
class AlarmMailSender : public QObject {
    Q_OBJECT
public:
    struct Controls {
        const Settings* settings; // the mail server, the sender, the subject and the login
        TNMSMTP* NMSMTP1;
        StatusLine* status;
    };

    AlarmMailSender(const Controls& controls, AlarmMailComposer& composer, ActivityLog& log,
                    DialogService& dialogs, QObject* parent = nullptr);

    struct Outcome {
        bool sent = false;
        QString lastReply; // the server's last reply line, or why no server was reached
    };

    // Composes and sends the mail and logs the outcome; never raises.
    Outcome SendMail(const AlarmReport& report);
    void SendAlarmMail(const AlarmReport& report) { SendMail(report); }
    // Keeps the page's report for the cycle's one mail, composed now from the check just made.
    void CollectAlarmMail(const AlarmReport& report);
    bool HasCollectedMail() const { return !collected_.isEmpty(); }
    // Sends the reports collected so far as one mail, and starts a new collection.
    void SendCollectedMail();

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

private:
    QString composed(const AlarmReport& report) const;
    // Makes the attempt and logs its end: "for " + what it sent for, or why it was not sent with
    // failedFor after "Unable to send email".
    Outcome logged(const QString& sentFor, const QString& failedFor, const std::function<QString()>& attempt);
    // Returns the server's answer to the message, which tells whether it took it.
    QString deliver(const QString& text, const QStringList& recipients);
    // The status line may already be gone when the client reports its last steps during close.
    void status(const QString& text);
    QString setting(const char* key) const;

    Controls c_;
    AlarmMailComposer& composer_;
    ActivityLog& log_;
    DialogService& dialogs_;
    QPointer<StatusLine> statusLine_;
    CycleMail collected_;
};
