#include "settings/ChatService.h"

QString chatServiceName(ChatService service) {
    switch (service) {
    case ChatService::Webhook:
        return QStringLiteral("Generic webhook");
    case ChatService::Ntfy:
        return QStringLiteral("ntfy");
    case ChatService::Gotify:
        return QStringLiteral("Gotify");
    case ChatService::Slack:
        return QStringLiteral("Slack");
    case ChatService::Discord:
        return QStringLiteral("Discord");
    case ChatService::Teams:
        return QStringLiteral("Microsoft Teams");
    case ChatService::Mattermost:
        return QStringLiteral("Mattermost");
    case ChatService::Matrix:
        return QStringLiteral("Matrix");
    case ChatService::Telegram:
        return QStringLiteral("Telegram");
    }
    return {};
}

ChatService chatServiceNamed(const QString& name) {
    for (int service = 0; service < ChatServiceCount; ++service)
        if (chatServiceName(ChatService(service)) == name)
            return ChatService(service);
    return ChatService::Webhook;
}

bool chatServiceUsesToken(ChatService service) {
    switch (service) {
    case ChatService::Ntfy:
    case ChatService::Gotify:
    case ChatService::Matrix:
    case ChatService::Telegram:
        return true;
    default:
        return false;
    }
}
