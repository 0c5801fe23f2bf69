#pragma once

class ComponentList;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

// The "Sending E-Mail" tab: recipients, subject and the message template.
struct SendingEmailTab {
    QWidget* TabSheet2;
    QPlainTextEdit* Memo1;
    QLineEdit* EditEMail1;
    QLineEdit* EditEMail2;
    QLineEdit* EditEMail3;
    QLineEdit* Edit10;
    QListWidget* ListBoxKeywords;

    static SendingEmailTab build(ComponentList& components);
};
