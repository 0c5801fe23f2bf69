#pragma once

#include "notify/ChatSender.h"

#include <array>

class ComponentList;
class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The "Chat Alerts" tab: three chat or push services that get the alarms whose "Chat" box is
// ticked.
struct ChatAlertsTab {
    struct Target {
        QComboBox* service;
        QLineEdit* address;
        QLineEdit* token;
    };

    QWidget* TabSheetChat;
    // ComboChatService, EditChatAddress and EditChatToken of each target; the token is kept in the
    // secret store, never in the settings file.
    std::array<Target, ChatSender::Targets> targets;
    std::array<QPushButton*, ChatSender::Targets> ButtonChatTest;

    static ChatAlertsTab build(ComponentList& components);
};
