#pragma once

#include "pages/MaintenanceWindow.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTimeEdit;

// "Maintenance window": one window's name, pages and times. OK keeps the window only when it is
// right; otherwise the dialog says what is wrong and puts the focus on that field.
class MaintenanceWindowDialog : public QDialog {
    Q_OBJECT
public:
    // addresses: the page list's, to pick from.
    MaintenanceWindowDialog(const MaintenanceWindow& window, const QStringList& addresses,
                            QWidget* parent = nullptr);

    MaintenanceWindow window() const;
    void accept() override;

    // "Mon" for 1 to "Sun" for 7, as the dialog and the list say them.
    static QString dayName(int day);
    static const QString DateTimeFormat;

private:
    QWidget* buildPages(const QStringList& addresses);
    QWidget* buildTimes();
    void showWindow(const MaintenanceWindow& window);
    void followChoices();
    // The field a problem names ("at: ..."); the name field when it names none.
    QWidget* fieldOf(const QString& problem) const;

    MaintenanceWindow original_;
    QLineEdit* name_;
    QCheckBox* allPages_;
    QListWidget* pages_;
    QRadioButton* oneOff_;
    QRadioButton* recurring_;
    QDateTimeEdit* start_;
    QDateTimeEdit* end_;
    std::array<QCheckBox*, 7> days_;
    QTimeEdit* at_;
    QLineEdit* length_;
    QComboBox* timeZone_;
    QLabel* error_;
    QWidget* described_ = nullptr; // the field whose problem a screen reader is told
};
