#pragma once

class ComponentList;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

// The "Sending E-Mail" tab: recipients (each perhaps only for a page down a while), subject, the
// message template and whether a cycle sends one mail.
struct SendingEmailTab {
    QWidget* TabSheet2;
    QPlainTextEdit* Memo1;
    QLineEdit* EditEMail1;
    QLineEdit* EditEMail2;
    QLineEdit* EditEMail3;
    QLineEdit* EditEMailAfter1;
    QLineEdit* EditEMailAfter2;
    QLineEdit* EditEMailAfter3;
    QCheckBox* CheckBoxMailPerCycle;
    QLineEdit* Edit10;
    QListWidget* ListBoxKeywords;

    static SendingEmailTab build(ComponentList& components);
};
