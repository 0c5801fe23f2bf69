#pragma once

class ComponentList;
class QCheckBox;
class QLineEdit;
class QWidget;

// The "Connection" tab: timing limits, check interval and proxy.
struct ConnectionTab {
    QWidget* TabSheet6;
    QLineEdit* EditProxyHost;
    QLineEdit* EditProxyPort;
    QCheckBox* CheckBoxProxy;
    QLineEdit* EditTimeSlow;
    QLineEdit* EditTimeOut;
    QLineEdit* EditInterval;

    static ConnectionTab build(ComponentList& components);
};
