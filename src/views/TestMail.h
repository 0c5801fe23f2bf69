#pragma once

#include <QObject>

class AlarmMailSender;
class DialogService;
class QLineEdit;
class QPushButton;

// The "Send test mail" button: sends the alarm mail, filled in for a sample page, to the first
// recipient (or to the sender when there is none) and shows what the server said, so the mail
// settings can be tried without waiting for an alarm.
class TestMail : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QPushButton* ButtonSendTestMail;
        QLineEdit* EditEMail1;
        QLineEdit* Edit1localEMail;
    };

    TestMail(const Controls& controls, AlarmMailSender& sender, DialogService& dialogs,
             QObject* parent = nullptr);

    void ButtonSendTestMailClick();

private:
    Controls c_;
    AlarmMailSender& sender_;
    DialogService& dialogs_;
};
