#pragma once

#include "notify/ChatAlarm.h"
#include "settings/ChatService.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <utility>

// The HTTP request that carries one cycle's alarms to a chat or push service.
struct ChatRequest {
    QByteArray method = "POST"; // "POST" or "PUT"
    QUrl url;
    QByteArray contentType;                           // e.g. "application/json"
    QList<std::pair<QByteArray, QByteArray>> headers; // extra header fields, in order
    QByteArray body;
};

// One cycle's alarms written the way each chat or push service wants them. Nothing here talks to
// the network: the sender takes the request as it is.
namespace ChatMessage {

// "Korvane: 2 pages red, 1 yellow, 1 back": how many pages turned red, turned yellow and came back
// ("ok"), in that order, each left out when there is none. The first part says what is counted,
// so it reads "1 page yellow" when nothing is red. "Korvane: no alarms" for an empty cycle.
QString title(const QList<ChatAlarm>& alarms);

// The request for one target. address: what the user typed in the target's Address field; token:
// the target's secret from the secret store, possibly empty; host: this computer's name; time: the
// cycle's time; apiBase: the Telegram Bot API's base address, unused by the other services.
// Throws std::runtime_error, with a message for the user, when the address or the token cannot make
// a request for the service.
ChatRequest build(ChatService service, const QString& address, const QString& token,
                  const QList<ChatAlarm>& alarms, const QString& host, const QDateTime& time,
                  const QString& apiBase);

} // namespace ChatMessage
