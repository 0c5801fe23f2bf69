#pragma once

#include "notify/ChatSender.h"

#include <array>

class ComponentList;
class QPushButton;
class QWidget;

// The "Chat Alerts" tab: three chat or push services that get the alarms whose "Chat" box is
// ticked.
struct ChatAlertsTab {
    QWidget* TabSheetChat;
    // ComboChatService, EditChatAddress and EditChatToken of each target; the token is kept in the
    // secret store, never in the settings file.
    std::array<ChatSender::Target, ChatSender::Targets> targets;
    std::array<QPushButton*, ChatSender::Targets> ButtonChatTest;

    static ChatAlertsTab build(ComponentList& components);
};
