#include "app/EmailSetupTab.h"

#include "app/ControlFactory.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

using namespace ControlFactory;

EmailSetupTab EmailSetupTab::build(ComponentList& components) {
    EmailSetupTab t{};
    t.TabSheet1 = components.add(new QWidget, "TabSheet1");
    t.EditEmailID =
        edit(components, "EditEmailID", {}, QStringLiteral("Some mail servers require an ID, type it here"));
    t.EditEmailHost = edit(components, "EditEmailHost", {},
                           QStringLiteral("Enter the mail host address (mail.example.com)"));
    t.EditEmailPort = edit(components, "EditEmailPort", QStringLiteral("25"),
                           QStringLiteral("email server port, most servers use port 25"));
    t.EditLocalName = edit(components, "EditLocalName", {}, QStringLiteral("Your name"));
    t.Edit1localEMail = edit(components, "Edit1localEMail", {}, QStringLiteral("Your email address"));
    t.ComboEmailSecurity = components.add(new QComboBox, "ComboEmailSecurity");
    t.ComboEmailSecurity->addItems(
        {QStringLiteral("None"), QStringLiteral("STARTTLS"), QStringLiteral("TLS")});
    t.ComboEmailSecurity->setToolTip(
        QStringLiteral("STARTTLS for port 587, TLS for port 465; None for a server that takes plain mail"));
    t.EditEmailUser = edit(components, "EditEmailUser", {},
                           QStringLiteral("The name to log in to the mail server with; empty for no login"));
    t.EditEmailPassword = edit(components, "EditEmailPassword", {},
                               QStringLiteral("The password to log in to the mail server with"));
    t.EditEmailPassword->setEchoMode(QLineEdit::Password);
    // The settings file is plain text anyone with the folder can read: the password goes to the
    // desktop's secret store instead.
    t.ButtonSendTestMail =
        button(components, "ButtonSendTestMail", QStringLiteral("Send test mail"),
               QStringLiteral("Send the alarm mail for a sample page to E-Mail Address #1, "
                              "or to your own address when that is empty"));

    auto* server = new QGroupBox(QStringLiteral("Mail Sever Information"));
    auto* serverForm = new QFormLayout(server);
    serverForm->addRow(label(QStringLiteral("Host: ")), t.EditEmailHost);
    serverForm->addRow(label(QStringLiteral("User ID: ")), t.EditEmailID);
    serverForm->addRow(label(QStringLiteral("Port: ")), t.EditEmailPort);
    serverForm->addRow(label(QStringLiteral("Security")), t.ComboEmailSecurity);
    serverForm->addRow(label(QStringLiteral("User name")), t.EditEmailUser);
    serverForm->addRow(label(QStringLiteral("Password")), t.EditEmailPassword);

    auto* local = new QGroupBox(QStringLiteral("Local Information"));
    auto* localForm = new QFormLayout(local);
    localForm->addRow(label(QStringLiteral("Name: ")), t.EditLocalName);
    localForm->addRow(label(QStringLiteral("E-Mail Address: ")), t.Edit1localEMail);

    auto* layout = new QVBoxLayout(t.TabSheet1);
    layout->addWidget(server);
    layout->addWidget(local);
    layout->addWidget(t.ButtonSendTestMail, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return t;
}
