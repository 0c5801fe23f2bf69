#include "app/SendingEmailTab.h"

#include "app/ControlFactory.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace ControlFactory;

SendingEmailTab SendingEmailTab::build(ComponentList& components) {
    SendingEmailTab t{};
    t.TabSheet2 = components.add(new QWidget, "TabSheet2");
    t.Memo1 = components.add(new QPlainTextEdit, "Memo1");
    t.Memo1->setPlainText(QStringLiteral("An error occurred while trying to access:\n%URL%:\n\n"
                                         "The error message was:\n%ERROR% "));
    t.Memo1->setToolTip(QStringLiteral("Type the body of the email here, use %URL% to include the URL that "
                                       "cause the error, %ERROR% to include the error message."));
    t.EditEMail1 = edit(components, "EditEMail1", {},
                        QStringLiteral("Email address to send a notification when something fails"));
    t.EditEMail2 = edit(components, "EditEMail2", {},
                        QStringLiteral("Email address #2 to send a notification when something fails"));
    t.EditEMail3 = edit(components, "EditEMail3", {},
                        QStringLiteral("Email address #3 to send a notification when something fails"));
    t.Edit10 = edit(components, "Edit10", QStringLiteral("Korvane Error Notification"),
                    QStringLiteral("This appears on the subject line of the error notification email"));
    // The window keeps this box among its components after all the others, so a first save
    // writes the keys every older settings file has in their usual order.
    t.CheckBoxMailPerCycle = new QCheckBox(QStringLiteral("One mail per check cycle"));
    t.CheckBoxMailPerCycle->setToolTip(
        QStringLiteral("Send the alarm mails of a check cycle as one mail, after the last page"));
    t.ListBoxKeywords = components.add(new QListWidget, "ListBoxKeywords");
    t.ListBoxKeywords->setToolTip(QStringLiteral("Double Click a keyword to include it on the email"));
    t.ListBoxKeywords->addItems({"%URL%", "%HOST%", "%ERROR%", "%HOST_IP%", "%HOST_PORT%", "%MY_IP%",
                                 "%PROXY%", "%PROXY_PORT%", "%REPLY_NUMBER%", "%COOKIE_IN%", "%DATE%",
                                 "%TIME%", ""});

    auto* recipients = new QGroupBox(QStringLiteral("Email Recipients"));
    auto* rows = new QGridLayout(recipients);
    const struct {
        QLineEdit* address;
        QLineEdit*& after;
    } recipient[] = {{t.EditEMail1, t.EditEMailAfter1},
                     {t.EditEMail2, t.EditEMailAfter2},
                     {t.EditEMail3, t.EditEMailAfter3}};
    for (int row = 0; row < 3; ++row) {
        const QString number = QString::number(row + 1);
        recipient[row].after = minutesEdit(
            components, qPrintable(QStringLiteral("EditEMailAfter") + number),
            QStringLiteral("Only after down for (min) #") + number,
            QStringLiteral("Mail this address about a page only once it has been down so many minutes; "
                           "empty: at once"));
        recipient[row].after->setMaximumWidth(80);
        QLabel* address = label(QStringLiteral("E-Mail Address #") + number + QStringLiteral(": "));
        address->setBuddy(recipient[row].address);
        QLabel* after = label(QStringLiteral("Only after down for (min)"));
        after->setBuddy(recipient[row].after);
        rows->addWidget(address, row, 0);
        rows->addWidget(recipient[row].address, row, 1);
        rows->addWidget(after, row, 2);
        rows->addWidget(recipient[row].after, row, 3);
    }
    rows->setColumnStretch(1, 1);

    auto* layout = new QGridLayout(t.TabSheet2);
    layout->addWidget(recipients, 0, 0, 1, 2);
    auto* subject = new QFormLayout;
    subject->addRow(label(QStringLiteral("Subject: ")), t.Edit10);
    layout->addLayout(subject, 1, 0, 1, 2);
    layout->addWidget(t.CheckBoxMailPerCycle, 2, 0, 1, 2);
    layout->addWidget(t.Memo1, 3, 0, 2, 1);
    layout->addWidget(label(QStringLiteral("Keywords")), 3, 1);
    layout->addWidget(t.ListBoxKeywords, 4, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(4, 1);
    return t;
}
