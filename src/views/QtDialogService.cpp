#include "views/QtDialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

void QtDialogService::showError(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
}

void QtDialogService::showMessage(const QString& text) {
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), text);
}

bool QtDialogService::confirm(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QAbstractButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(QStringLiteral("&No"), QMessageBox::NoRole));
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> QtDialogService::inputText(const QString& caption, const QString& prompt) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

namespace {
QString chooseFile(QFileDialog::AcceptMode mode, const QString& fileName, const QString& filter,
                   const QString& defaultExtension) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    QString suffix = defaultExtension;
    dialog.setDefaultSuffix(suffix.remove(QStringLiteral("*.")));
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}
} // namespace

QString QtDialogService::openFileName(const QString& fileName, const QString& filter,
                                      const QString& defaultExtension) {
    return chooseFile(QFileDialog::AcceptOpen, fileName, filter, defaultExtension);
}

QString QtDialogService::saveFileName(const QString& fileName, const QString& filter,
                                      const QString& defaultExtension) {
    return chooseFile(QFileDialog::AcceptSave, fileName, filter, defaultExtension);
}
