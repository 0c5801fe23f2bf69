#pragma once

class ComponentList;
class QCheckBox;
class QLineEdit;
class QWidget;

// The "Connection" tab: timing limits, check interval, certificates and proxy.
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

    static ConnectionTab build(ComponentList& components);
};
