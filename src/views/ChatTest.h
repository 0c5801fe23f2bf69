#pragma once

#include <QObject>
#include <array>

class ChatSender;
class DialogService;
class QPushButton;

// The "Send test" buttons of the "Chat Alerts" tab: a sample alarm to the button's service, and
// what the service answered, so a target can be tried without waiting for an alarm.
class ChatTest : public QObject {
    Q_OBJECT
public:
    struct Controls {
        std::array<QPushButton*, 3> ButtonChatTest;
    };

    ChatTest(const Controls& controls, ChatSender& sender, DialogService& dialogs, QObject* parent = nullptr);

    void ButtonChatTestClick(int target);

private:
    Controls c_;
    ChatSender& sender_;
    DialogService& dialogs_;
};
