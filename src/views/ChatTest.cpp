#include "views/ChatTest.h"

#include "notify/ChatSender.h"
#include "notify/DialogService.h"

#include <QPointer>
#include <QPushButton>

ChatTest::ChatTest(const Controls& controls, ChatSender& sender, DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), sender_(sender), dialogs_(dialogs) {
    for (int target = 0; target < int(c_.ButtonChatTest.size()); ++target)
        connect(c_.ButtonChatTest[target], &QPushButton::clicked, this,
                [this, target] { ButtonChatTestClick(target); });
}

void ChatTest::ButtonChatTestClick(int target) {
    QPushButton* button = c_.ButtonChatTest[target];
    // One try at a time: the answer comes while the window goes on.
    button->setEnabled(false);
    QPointer<ChatTest> self(this);
    sender_.sendTest(target, [self, button](bool sent, const QString& answer) {
        // A test cut short by the close is nobody's news.
        if (!self || self->sender_.closing())
            return;
        button->setEnabled(true);
        self->dialogs_.showMessage((sent ? QStringLiteral("Chat message sent. The service said: ")
                                         : QStringLiteral("Chat message not sent. The service said: ")) +
                                   answer);
    });
}
