#pragma once

#include "notify/ChatAlarm.h"
#include "notify/ChatMessage.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <array>
#include <functional>

class ActivityLog;
class QNetworkAccessManager;
class Settings;

// Sends alarms to the chat and push services of the "Chat Alerts" tab, one message a cycle to
// each target with an address. Nothing here waits: a message goes out on the event loop while
// the checks go on. A try that finds no server, or a server that is busy (5xx, 429), is tried
// again after a while; any other refusal is final. A try has a deadline, and a redirect is
// followed only on the service's own server. Each message ends in one log line.
class ChatSender : public QObject {
    Q_OBJECT
public:
    static constexpr int Targets = 3;
    // A try, from its request to the answer's last byte.
    static constexpr int TryTimeOutMs = 10000;
    // A server's Retry-After is honoured up to this; a longer one gets our own pause.
    static constexpr int LongestRetryAfterSeconds = 60;

    // sent: the service took the message; answer: what it said, or why it could not be asked.
    using Done = std::function<void(bool sent, const QString& answer)>;

    // The targets, the proxy and the trust in certificates come from the settings.
    ChatSender(const Settings& settings, ActivityLog& log, QObject* parent = nullptr);
    ~ChatSender() override;

    // Every target with an address gets one message naming all the alarms.
    void sendAlarms(const QList<ChatAlarm>& alarms);
    // A sample alarm to one target (0-based), tried once; done says how it went.
    void sendTest(int target, Done done);
    // The program ends: no try is started any more, a message waiting for its next try is given up,
    // and the messages under way get until `until`; each given up says so in the log. Returns how
    // many were given up.
    int finish(QDeadlineTimer until);
    // No message is under way or waiting for its next try.
    bool idle() const { return underWay_.isEmpty(); }
    bool closing() const { return closing_; }

    // The pauses before the second, third and fourth try.
    void setRetryDelays(const QList<int>& delaysMs) { retryDelaysMs_ = delaysMs; }
    void setTryTimeOut(int ms) { tryTimeOutMs_ = ms; }
    // Where the Telegram Bot API is; a test puts a server of its own there.
    void setTelegramApi(const QString& base) { telegramApi_ = base; }

private:
    class Delivery;

    // A setting of the target (0-based): "EditChatAddress" is the address of #1 for target 0.
    QString targetSetting(const char* key, int target) const;
    // The label of a target in the log: "Slack #2".
    QString label(int target) const;
    // Builds the target's request and sends it; done hears of a request that cannot be built too.
    void send(int target, const QList<ChatAlarm>& alarms, bool retried, Done done);

    const Settings& settings_;
    ActivityLog& log_;
    QNetworkAccessManager* network_;
    QList<int> retryDelaysMs_{1000, 5000, 25000};
    int tryTimeOutMs_ = TryTimeOutMs;
    QString telegramApi_ = QStringLiteral("https://api.telegram.org");
    bool closing_ = false;
    QList<Delivery*> underWay_; // sent, or waiting to be tried again
};
