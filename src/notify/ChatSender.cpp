#include "notify/ChatSender.h"

#include "net/EventWait.h"
#include "net/TrustStore.h"
#include "notify/ActivityLog.h"
#include "settings/ChatService.h"
#include "settings/ConnectionSettings.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <exception>

namespace {

constexpr qsizetype QuotedAnswer = 200;
// What is kept of a service's answer: a service that talks on is cut off here.
constexpr qint64 LongestAnswer = 64 * 1024;

// What the service said, on one line and short enough for the log.
QString answerOf(QNetworkReply* reply) {
    QString body = QString::fromUtf8(reply->read(LongestAnswer)).simplified();
    if (body.size() > QuotedAnswer)
        body = body.left(QuotedAnswer) + QStringLiteral("…");
    return body;
}

} // namespace

// One message to one target, tried until it is taken, refused, or out of tries.
class ChatSender::Delivery : public QObject {
public:
    Delivery(ChatSender& sender, ChatRequest request, bool retried, Done done)
        : QObject(&sender), sender_(sender), request_(std::move(request)), retried_(retried),
          done_(std::move(done)) {
        pause_.setSingleShot(true);
        connect(&pause_, &QTimer::timeout, this, &Delivery::send);
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, [this] {
            timedOut_ = true;
            if (reply_)
                reply_->abort();
        });
        sender_.underWay_.append(this);
    }

    void send() {
        QNetworkRequest request(request_.url);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        // The address and its token go to the service the user named, and to no other server a
        // redirect might name.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::SameOriginRedirectPolicy);
        request.setSslConfiguration(TrustStore::configuration());
        request.setHeader(QNetworkRequest::ContentTypeHeader, request_.contentType);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Korvane"));
        for (const auto& [name, value] : request_.headers)
            request.setRawHeader(name, value);
        reply_ = sender_.network_->sendCustomRequest(request, request_.method, request_.body);
        if (sender_.settings_.tick(QStringLiteral("CheckBoxAcceptUntrusted")))
            connect(reply_, &QNetworkReply::sslErrors, reply_,
                    [reply = reply_] { reply->ignoreSslErrors(); });
        connect(reply_, &QNetworkReply::readyRead, reply_, [reply = reply_] {
            if (reply->bytesAvailable() > LongestAnswer)
                reply->abort();
        });
        connect(reply_, &QNetworkReply::finished, this, &Delivery::answered);
        // The whole try, however slowly its bytes trickle in.
        timedOut_ = false;
        deadline_.start(sender_.tryTimeOutMs_);
    }

    // The window closes: a try still to come will not be.
    bool waitingToRetry() const { return pause_.isActive(); }
    void giveUp() {
        givenUp_ = true;
        if (reply_)
            reply_->abort();
    }
    void dropRetry() {
        pause_.stop();
        end(false, QStringLiteral("closed before the next try"));
    }

private:
    void answered() {
        QNetworkReply* reply = std::exchange(reply_, nullptr);
        reply->deleteLater();
        deadline_.stop();
        if (givenUp_)
            return end(false, QStringLiteral("given up at the program's end"));
        // An answer cut off by the deadline is no answer, whatever its status line said.
        const int status = timedOut_ ? 0 : reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QString answer = timedOut_ ? QString() : answerOf(reply);
        if (status >= 200 && status <= 299)
            return end(true, answer);
        const QString reason =
            status != 0 ? QString::number(status) + QLatin1Char(' ') +
                              reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()
            : timedOut_ ? QStringLiteral("no answer within %1 s").arg(sender_.tryTimeOutMs_ / 1000.0)
                        : reply->errorString();
        const QString said = answer.isEmpty() ? reason : reason + QStringLiteral(": ") + answer;
        const bool busy = status == 0 || status >= 500 || status == 429;
        if (!busy || !retried_ || sender_.closing_ || tries_ >= sender_.retryDelaysMs_.size())
            return end(false, said);
        int pauseMs = sender_.retryDelaysMs_[tries_++];
        bool ok = false;
        const int retryAfter = reply->rawHeader("Retry-After").trimmed().toInt(&ok);
        if (ok && retryAfter >= 0 && retryAfter <= LongestRetryAfterSeconds)
            pauseMs = retryAfter * 1000;
        pause_.start(pauseMs);
    }

    void end(bool sent, const QString& answer) {
        sender_.underWay_.removeOne(this);
        const Done done = std::move(done_);
        deleteLater();
        done(sent, answer);
    }

    ChatSender& sender_;
    ChatRequest request_;
    bool retried_;
    Done done_;
    QPointer<QNetworkReply> reply_;
    QTimer pause_;
    QTimer deadline_; // of the try under way
    bool timedOut_ = false;
    int tries_ = 0; // tries after the first
    bool givenUp_ = false;
};

ChatSender::ChatSender(const Settings& settings, ActivityLog& log, QObject* parent)
    : QObject(parent), settings_(settings), log_(log), network_(new QNetworkAccessManager(this)) {}

ChatSender::~ChatSender() = default;

QString ChatSender::targetSetting(const char* key, int target) const {
    return settings_.text(QLatin1String(key) + QString::number(target + 1));
}

QString ChatSender::label(int target) const {
    return targetSetting("ComboChatService", target) + QStringLiteral(" #") + QString::number(target + 1);
}

void ChatSender::sendAlarms(const QList<ChatAlarm>& alarms) {
    if (closing_ || alarms.isEmpty())
        return;
    for (int target = 0; target < Targets; ++target) {
        if (targetSetting("EditChatAddress", target).trimmed().isEmpty())
            continue;
        // Escalation and reminders may leave a target out of some pages' alarms, or of all.
        QList<ChatAlarm> its;
        for (const ChatAlarm& alarm : alarms)
            if (alarm.targets[std::size_t(target)])
                its.append(alarm);
        if (its.isEmpty())
            continue;
        send(target, its, true, [this, name = label(target)](bool sent, const QString& answer) {
            log_.AddLogLine(sent ? QStringLiteral("Chat message sent to ") + name
                                 : QStringLiteral("Unable to send chat message to ") + name +
                                       QStringLiteral(": ") + answer);
        });
    }
}

void ChatSender::sendTest(int target, Done done) {
    const ChatAlarm sample{QStringLiteral("https://www.example.com/"), QStringLiteral("Page Not Found"),
                           QStringLiteral("Page not found: "), 404, QStringLiteral("red")};
    send(target, {sample}, false, std::move(done));
}

void ChatSender::send(int target, const QList<ChatAlarm>& alarms, bool retried, Done done) {
    ChatRequest request;
    try {
        request = ChatMessage::build(
            chatServiceNamed(targetSetting("ComboChatService", target)),
            targetSetting("EditChatAddress", target).trimmed(), targetSetting("EditChatToken", target),
            alarms, QHostInfo::localHostName(), QDateTime::currentDateTimeUtc(), telegramApi_);
    } catch (const std::exception& error) {
        return done(false, QString::fromUtf8(error.what()));
    }
    if (settings_.tick(QStringLiteral("CheckBoxProxy"))) {
        using namespace ConnectionSettings;
        network_->setProxy(QNetworkProxy(
            QNetworkProxy::HttpProxy, settings_.text(QStringLiteral("EditProxyHost")).trimmed(),
            quint16(number(settings_.text(QStringLiteral("EditProxyPort")), DefaultProxyPort))));
    } else {
        network_->setProxy(QNetworkProxy::NoProxy);
    }
    (new Delivery(*this, std::move(request), retried, std::move(done)))->send();
}

int ChatSender::finish(QDeadlineTimer until) {
    closing_ = true;
    int givenUp = 0;
    for (Delivery* delivery : QList<Delivery*>(underWay_)) {
        if (delivery->waitingToRetry()) {
            delivery->dropRetry();
            ++givenUp;
        }
    }
    EventWait::untilNonePending([this] { return int(underWay_.size()); }, until);
    for (Delivery* delivery : QList<Delivery*>(underWay_)) {
        delivery->giveUp();
        ++givenUp;
    }
    return givenUp;
}
