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
        QLineEdit* after; // minutes a page must be down before this target hears of it; empty: at once
    };

    QWidget* TabSheetChat;
    // ComboChatService, EditChatAddress, EditChatToken and EditChatAfter of each target; the token
    // is kept in the secret store, never in the settings file.
    std::array<Target, ChatSender::Targets> targets;
    std::array<QPushButton*, ChatSender::Targets> ButtonChatTest;

    static ChatAlertsTab build(ComponentList& components);
};
