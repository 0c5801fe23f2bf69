#pragma once

#include "pages/MaintenanceWindow.h"

#include <QObject>
#include <functional>

class PageRecords;
class QPushButton;

// The "Maintenance…" button of the Alarms tab: it opens the list of maintenance windows, and OK
// there gives the monitor the windows as edited and saves them.
class MaintenanceEditor : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QPushButton* ButtonMaintenance;
    };

    // windows: the monitor's, read by every check; save: writes the settings file.
    MaintenanceEditor(const Controls& controls, QList<MaintenanceWindow>& windows, const PageRecords& pages,
                      std::function<void()> save, QObject* parent = nullptr);

    void ButtonMaintenanceClick();

private:
    Controls c_;
    QList<MaintenanceWindow>& windows_;
    const PageRecords& pages_;
    std::function<void()> save_;
};
