#include "app/ConnectionTab.h"

#include "app/ControlFactory.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

using namespace ControlFactory;

ConnectionTab ConnectionTab::build(ComponentList& components) {
    ConnectionTab t{};
    t.TabSheet6 = components.add(new QWidget, "TabSheet6");
    t.EditProxyHost = edit(components, "EditProxyHost", {},
                           QStringLiteral("Name of the proxy, get this from your system admin."));
    t.EditProxyPort = edit(components, "EditProxyPort", QStringLiteral("80"),
                           QStringLiteral("Proxy port, get this from your system admin."));
    t.CheckBoxProxy = checkBox(components, "CheckBoxProxy", QStringLiteral("Use Proxy"), false,
                               QStringLiteral("Check if you need to use a proxy"));
    t.EditTimeSlow = edit(components, "EditTimeSlow", QStringLiteral("5"),
                          QStringLiteral("Enter the maximum time a web page should take."));
    t.EditTimeOut = edit(components, "EditTimeOut", QStringLiteral("20"),
                         QStringLiteral("Give up after this many seconds"));
    t.EditInterval = edit(components, "EditInterval", QStringLiteral("10"),
                          QStringLiteral("Automatically repeat checks every this many minutes"));
    t.CheckBoxAcceptUntrusted = checkBox(
        components, "CheckBoxAcceptUntrusted", QStringLiteral("Accept untrusted certificates"), false,
        QStringLiteral("For intranet servers with self-signed certificates: check https pages even "
                       "when their certificate is not trusted"));
    t.EditCertDays =
        edit(components, "EditCertDays", QStringLiteral("14"),
             QStringLiteral("Warn when the certificate of an https page expires within this many days"));
    t.EditFailCount =
        edit(components, "EditFailCount", QStringLiteral("1"),
             QStringLiteral("Raise a page's failure alarms only after this many failed checks in a row"));
    // The same kind of address as a page's, scheme included; empty asks the platform only.
    t.EditNetworkCheck =
        edit(components, "EditNetworkCheck", {},
             QStringLiteral("An address you trust to answer, such as your router (http://192.168.1.1/): when "
                            "it fails too, page alarms are held, since the outage is your network's"));
    t.EditParallelChecks =
        edit(components, "EditParallelChecks", QStringLiteral("16"),
             QStringLiteral("How many pages are checked at the same time (1 to 64); a server gets at most "
                            "6 of them at once"));
    t.EditHistoryDays =
        edit(components, "EditHistoryDays", QStringLiteral("2"),
             QStringLiteral("How many days the history keeps every single check; after that only each "
                            "hour's and day's sums are kept"));
    t.CheckBoxAutostart =
        checkBox(components, "CheckBoxAutostart", QStringLiteral("Start with the desktop session"), false,
                 QStringLiteral("Start this monitor hidden in the tray when you log in to the desktop"));
    t.EditMetricsAddress = edit(
        components, "EditMetricsAddress", {},
        QStringLiteral("Serve the checks' results to Prometheus at http://ADDRESS:PORT/metrics, such as "
                       "127.0.0.1:9101; empty serves nothing. Any address but a loopback one needs a token"));
    t.EditMetricsToken =
        edit(components, "EditMetricsToken", {},
             QStringLiteral("A scrape must send this as \"Authorization: Bearer <token>\"; empty asks for none"));
    t.EditMetricsToken->setEchoMode(QLineEdit::Password);
    // Whether the autostart entry exists is the state of this box, so the settings file does not
    // keep it.

    auto* timing = new QGridLayout;
    timing->addWidget(label(QStringLiteral("Slow Access (sec)")), 0, 0);
    timing->addWidget(t.EditTimeSlow, 0, 1);
    timing->addWidget(label(QStringLiteral("Timeout (sec)")), 1, 0);
    timing->addWidget(t.EditTimeOut, 1, 1);
    timing->addWidget(label(QStringLiteral("Check Pages every")), 2, 0);
    timing->addWidget(t.EditInterval, 2, 1);
    timing->addWidget(label(QStringLiteral("minutes")), 2, 2);
    // The captions name their fields for a screen reader.
    const std::pair<const char*, QLineEdit*> added[] = {{"Certificate warning (days)", t.EditCertDays},
                                                        {"Alarm after failed checks", t.EditFailCount},
                                                        {"Network check address", t.EditNetworkCheck},
                                                        {"Parallel checks", t.EditParallelChecks},
                                                        {"Keep every check for (days)", t.EditHistoryDays},
                                                        {"Serve metrics on", t.EditMetricsAddress},
                                                        {"Metrics token", t.EditMetricsToken}};
    for (int row = 3; const auto& [caption, field] : added) {
        QLabel* name = label(QString::fromLatin1(caption));
        name->setBuddy(field);
        timing->addWidget(name, row, 0);
        timing->addWidget(field, row++, 1);
    }
    timing->setColumnStretch(3, 1);

    auto* proxy = new QGroupBox(QStringLiteral("Proxy"));
    auto* proxyGrid = new QGridLayout(proxy);
    proxyGrid->addWidget(t.CheckBoxProxy, 0, 0, 1, 2);
    proxyGrid->addWidget(label(QStringLiteral("Host")), 1, 0);
    proxyGrid->addWidget(t.EditProxyHost, 1, 1);
    proxyGrid->addWidget(label(QStringLiteral("Port")), 2, 0);
    proxyGrid->addWidget(t.EditProxyPort, 2, 1);

    auto* layout = new QVBoxLayout(t.TabSheet6);
    layout->addLayout(timing);
    layout->addWidget(t.CheckBoxAcceptUntrusted);
    layout->addWidget(proxy);
    layout->addWidget(t.CheckBoxAutostart);
    layout->addStretch(1);
    return t;
}
