#pragma once

class ComponentList;
class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The "Email Setup" tab: the mail server and the sender.
struct EmailSetupTab {
    QWidget* TabSheet1;
    QLineEdit* EditEmailID;
    QLineEdit* EditEmailHost;
    QLineEdit* EditEmailPort;
    QLineEdit* EditLocalName;
    QLineEdit* Edit1localEMail;
    QComboBox* ComboEmailSecurity;
    QLineEdit* EditEmailUser;
    QLineEdit* EditEmailPassword;
    QPushButton* ButtonSendTestMail;

    static EmailSetupTab build(ComponentList& components);
};
