#include "views/MaintenanceDialog.h"

#include "pages/Duration.h"
#include "views/DialogFields.h"
#include "views/MaintenanceWindowDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

using DialogFields::named;

namespace {

QPushButton* button(const char* name, const QString& caption, const QString& hint) {
    auto* b = named(new QPushButton(caption), name);
    b->setToolTip(hint);
    return b;
}

QString pagesText(const MaintenanceWindow& window) {
    if (window.allPages)
        return QStringLiteral("all pages");
    return window.pages.size() == 1 ? window.pages.front()
                                    : QString::number(window.pages.size()) + QStringLiteral(" pages");
}

} // namespace

MaintenanceDialog::MaintenanceDialog(const QList<MaintenanceWindow>& windows, const QStringList& addresses,
                                     QWidget* parent)
    : QDialog(parent), windows_(windows), addresses_(addresses),
      list_(named(new QListWidget, "ListMaintenance")),
      add_(button("ButtonMaintenanceAdd", QStringLiteral("Add…"), QStringLiteral("Plan a new window"))),
      edit_(button("ButtonMaintenanceEdit", QStringLiteral("Edit…"),
                   QStringLiteral("Change the selected window"))),
      delete_(button("ButtonMaintenanceDelete", QStringLiteral("Delete"),
                     QStringLiteral("Remove the selected window"))) {
    setObjectName(QStringLiteral("DialogMaintenance"));
    setWindowTitle(QStringLiteral("Maintenance windows"));
    setMinimumWidth(560);
    list_->setAccessibleName(QStringLiteral("Maintenance windows"));
    list_->setToolTip(QStringLiteral("While a window is open, its pages are still checked and kept in the "
                                     "history, but raise no alarm"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0, 4, 1);
    layout->addWidget(add_, 0, 1);
    layout->addWidget(edit_, 1, 1);
    layout->addWidget(delete_, 2, 1);
    layout->setRowStretch(3, 1);
    layout->addWidget(buttons, 4, 0, 1, 2);

    connect(add_, &QPushButton::clicked, this, &MaintenanceDialog::ButtonAddClick);
    connect(edit_, &QPushButton::clicked, this, &MaintenanceDialog::ButtonEditClick);
    connect(delete_, &QPushButton::clicked, this, &MaintenanceDialog::ButtonDeleteClick);
    // Return or a double click on a window edits it; Return must not reach OK as well.
    connect(list_, &QListWidget::itemDoubleClicked, this, &MaintenanceDialog::ButtonEditClick);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::currentRowChanged, this, &MaintenanceDialog::followSelection);
    connect(buttons, &QDialogButtonBox::accepted, this, &MaintenanceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MaintenanceDialog::reject);
    showList(0);
}

bool MaintenanceDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ButtonEditClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString MaintenanceDialog::summary(const MaintenanceWindow& window) {
    QString when;
    if (window.recurring()) {
        QStringList days;
        for (int day : window.days)
            days.append(MaintenanceWindowDialog::dayName(day));
        when = days.join(QStringLiteral(", ")) + QStringLiteral(" at ") +
               window.at.toString(QStringLiteral("HH:mm")) + QStringLiteral(" for ") +
               Duration::text(window.lengthSeconds);
    } else {
        const QString& format = MaintenanceWindowDialog::DateTimeFormat;
        when = window.start.toString(format) + QStringLiteral(" to ") + window.end.toString(format);
    }
    if (!window.timeZone.isEmpty())
        when += QStringLiteral(", ") + window.timeZone;
    return window.name + QStringLiteral(": ") + when + QStringLiteral(", ") + pagesText(window);
}

void MaintenanceDialog::showList(int current) {
    list_->clear();
    for (const MaintenanceWindow& window : windows_)
        list_->addItem(summary(window));
    list_->setCurrentRow(std::min(current, int(windows_.size()) - 1));
    followSelection();
}

void MaintenanceDialog::followSelection() {
    const bool selected = list_->currentRow() >= 0;
    edit_->setEnabled(selected);
    delete_->setEnabled(selected);
}

void MaintenanceDialog::ButtonAddClick() {
    edit(-1, MaintenanceWindow());
}

void MaintenanceDialog::ButtonEditClick() {
    const int row = list_->currentRow();
    if (row >= 0 && row < windows_.size())
        edit(row, windows_[row]);
}

void MaintenanceDialog::ButtonDeleteClick() {
    const int row = list_->currentRow();
    if (row < 0 || row >= windows_.size())
        return;
    windows_.removeAt(row);
    showList(row);
}

void MaintenanceDialog::edit(int row, const MaintenanceWindow& window) {
    auto* dialog = new MaintenanceWindowDialog(window, addresses_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, row] {
        if (row < 0)
            windows_.append(dialog->window());
        else
            windows_[row] = dialog->window();
        showList(row < 0 ? int(windows_.size()) - 1 : row);
        list_->setFocus();
    });
    dialog->open();
}
