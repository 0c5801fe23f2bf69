#pragma once

#include "pages/MaintenanceWindow.h"

#include <QDialog>

class QListWidget;
class QPushButton;

// "Maintenance windows": the list of windows, where windows are added, edited and deleted. Each
// is edited in a dialog of its own; nothing is kept until OK.
class MaintenanceDialog : public QDialog {
    Q_OBJECT
public:
    // addresses: the page list's, for a window to pick from.
    MaintenanceDialog(const QList<MaintenanceWindow>& windows, const QStringList& addresses,
                      QWidget* parent = nullptr);

    const QList<MaintenanceWindow>& windows() const { return windows_; }

    // A line of the list: "backup: Mon, Thu at 23:00 for 1h, Europe/Berlin, all pages".
    static QString summary(const MaintenanceWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ButtonAddClick();
    void ButtonEditClick();
    void ButtonDeleteClick();
    // row -1: a new window.
    void edit(int row, const MaintenanceWindow& window);
    void showList(int current);
    void followSelection();

    QList<MaintenanceWindow> windows_;
    QStringList addresses_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
};
