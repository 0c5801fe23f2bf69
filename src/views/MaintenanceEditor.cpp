#include "views/MaintenanceEditor.h"

#include "pages/PageRecords.h"
#include "views/MaintenanceDialog.h"

#include <QPushButton>

MaintenanceEditor::MaintenanceEditor(const Controls& controls, QList<MaintenanceWindow>& windows,
                                     const PageRecords& pages, std::function<void()> save, QObject* parent)
    : QObject(parent), c_(controls), windows_(windows), pages_(pages), save_(std::move(save)) {
    connect(c_.ButtonMaintenance, &QPushButton::clicked, this, &MaintenanceEditor::ButtonMaintenanceClick);
}

void MaintenanceEditor::ButtonMaintenanceClick() {
    QStringList addresses;
    addresses.reserve(pages_.pageCount());
    for (int page = 0; page < pages_.pageCount(); ++page)
        addresses.append(pages_.url(page));
    auto* dialog = new MaintenanceDialog(windows_, addresses, c_.ButtonMaintenance->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        windows_ = dialog->windows();
        save_();
    });
    dialog->open();
}
