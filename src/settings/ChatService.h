#pragma once

#include <QString>

// The chat and push services a cycle's alarms can be sent to, besides mail.
enum class ChatService { Webhook, Ntfy, Gotify, Slack, Discord, Teams, Mattermost, Matrix, Telegram };

constexpr int ChatServiceCount = 9;

// The name the settings show for the service.
QString chatServiceName(ChatService service);
// The service of that name; the generic webhook for a name nobody knows.
ChatService chatServiceNamed(const QString& name);

// Whether the service takes a token from the secret store besides its address: ntfy (an optional
// access token), Gotify (the application's token), Matrix (an access token) and Telegram (the
// bot's token). The others carry their secret in the webhook address itself.
bool chatServiceUsesToken(ChatService service);
