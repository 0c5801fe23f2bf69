#include "views/QtDialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

void QtDialogService::showError(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
}

QString QtDialogService::openFileName(const QString& fileName, const QString& filter,
                                      const QString& defaultExtension) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    QString suffix = defaultExtension;
    dialog.setDefaultSuffix(suffix.remove(QStringLiteral("*.")));
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}
