#pragma once

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
        QComboBox* ComboChatService;
        QLineEdit* EditChatAddress;
        QLineEdit* EditChatToken; // kept in the secret store, never in the settings file
        QPushButton* ButtonChatTest;
    };

    QWidget* TabSheetChat;
    std::array<Target, 3> targets;

    static ChatAlertsTab build(ComponentList& components);
};
