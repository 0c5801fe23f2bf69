#pragma once

class ComponentList;
class QCheckBox;
class QLineEdit;
class QWidget;

// The "Connection" tab: timing limits, check interval, certificates, proxy and the start
// with the desktop session.
struct ConnectionTab {
    QWidget* TabSheet6;
    QLineEdit* EditProxyHost;
    QLineEdit* EditProxyPort;
    QCheckBox* CheckBoxProxy;
    QLineEdit* EditTimeSlow;
    QLineEdit* EditTimeOut;
    QLineEdit* EditInterval;
    QCheckBox* CheckBoxAcceptUntrusted;
    QLineEdit* EditCertDays;
    QLineEdit* EditFailCount;
    QLineEdit* EditNetworkCheck;
    QLineEdit* EditParallelChecks;
    QLineEdit* EditHistoryDays;
    QCheckBox* CheckBoxAutostart;
    QLineEdit* EditMetricsAddress;
    QLineEdit* EditMetricsToken;

    static ConnectionTab build(ComponentList& components);
};
