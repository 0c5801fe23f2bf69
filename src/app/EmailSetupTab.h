#pragma once

class ComponentList;
class QLineEdit;
class QWidget;

// The "Email Setup" tab: the mail server and the sender.
struct EmailSetupTab {
    QWidget* TabSheet1;
    QLineEdit* EditEmailID;
    QLineEdit* EditEmailHost;
    QLineEdit* EditEmailPort;
    QLineEdit* EditLocalName;
    QLineEdit* Edit1localEMail;

    static EmailSetupTab build(ComponentList& components);
};
