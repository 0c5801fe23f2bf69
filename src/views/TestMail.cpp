#include "views/TestMail.h"

#include "notify/AlarmMailSender.h"
#include "notify/AlarmReport.h"
#include "notify/DialogService.h"

#include <QLineEdit>
#include <QPushButton>

TestMail::TestMail(const Controls& controls, AlarmMailSender& sender, DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), sender_(sender), dialogs_(dialogs) {
    connect(c_.ButtonSendTestMail, &QPushButton::clicked, this,
            reported(dialogs_, [this] { ButtonSendTestMailClick(); }));
}

void TestMail::ButtonSendTestMailClick() {
    const QString firstRecipient = c_.EditEMail1->text();
    const AlarmReport sample{QStringLiteral("http://www.example.com/"),
                             QStringLiteral("Test mail from Korvane"),
                             0,
                             {firstRecipient.isEmpty() ? c_.Edit1localEMail->text() : firstRecipient}};
    // The mail waits on the network inside this click: a second click must not start another.
    c_.ButtonSendTestMail->setEnabled(false);
    const AlarmMailSender::Outcome outcome = sender_.SendMail(sample);
    c_.ButtonSendTestMail->setEnabled(true);
    // The reply keeps its line end; the box shows the words only.
    dialogs_.showMessage((outcome.sent ? QStringLiteral("Test mail sent. The server said: ")
                                       : QStringLiteral("Test mail not sent. The server said: ")) +
                         outcome.lastReply.trimmed());
}
