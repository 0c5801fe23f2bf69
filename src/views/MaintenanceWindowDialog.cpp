#include "views/MaintenanceWindowDialog.h"

#include "pages/Duration.h"
#include "views/DialogFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimeZone>
#include <QVBoxLayout>

using DialogFields::named;

namespace {

const QString TimeFormat = QStringLiteral("HH:mm");

// The edits show a wall clock of the window's time zone, whatever the machine's: in UTC no
// hour of it is skipped or repeated.
QDateTimeEdit* wallClockEdit(const char* name) {
    auto* edit = named(new QDateTimeEdit, name);
    edit->setTimeSpec(Qt::UTC);
    edit->setDisplayFormat(MaintenanceWindowDialog::DateTimeFormat);
    edit->setCalendarPopup(true);
    return edit;
}

void showWallClock(QDateTimeEdit* edit, const QDateTime& time) {
    edit->setDateTime(QDateTime(time.date(), time.time(), Qt::UTC));
}

// A time left as it was keeps the form it came in.
QDateTime wallClock(const QDateTimeEdit* edit, const QDateTime& was) {
    const QDateTime shown(edit->date(), edit->time());
    return was.isValid() && was.date() == shown.date() && was.time() == shown.time() ? was : shown;
}

} // namespace

const QString MaintenanceWindowDialog::DateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");

QString MaintenanceWindowDialog::dayName(int day) {
    static const char* const names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return QLatin1String(names[((day - 1) % 7 + 7) % 7]);
}

MaintenanceWindowDialog::MaintenanceWindowDialog(const MaintenanceWindow& window,
                                                 const QStringList& addresses, QWidget* parent)
    : QDialog(parent), original_(window), name_(named(new QLineEdit, "EditMaintenanceName")),
      allPages_(named(new QCheckBox(QStringLiteral("All pages")), "CheckBoxMaintenanceAllPages")),
      pages_(named(new QListWidget, "ListMaintenancePages")),
      oneOff_(named(new QRadioButton(QStringLiteral("One-off")), "RadioMaintenanceOneOff")),
      recurring_(named(new QRadioButton(QStringLiteral("Recurring")), "RadioMaintenanceRecurring")),
      start_(wallClockEdit("EditMaintenanceStart")), end_(wallClockEdit("EditMaintenanceEnd")),
      at_(named(new QTimeEdit, "EditMaintenanceAt")), length_(named(new QLineEdit, "EditMaintenanceLength")),
      timeZone_(named(new QComboBox, "ComboMaintenanceTimeZone")),
      error_(DialogFields::errorLabel(QStringLiteral("MaintenanceWindowError"))) {
    setObjectName(QStringLiteral("DialogMaintenanceWindow"));
    setWindowTitle(QStringLiteral("Maintenance window"));
    setMinimumWidth(480);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    DialogFields::addRow(form, QStringLiteral("Name"), name_,
                         QStringLiteral("Said in the log for every check it holds"));
    layout->addLayout(form);
    layout->addWidget(buildPages(addresses));
    layout->addWidget(buildTimes());
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &MaintenanceWindowDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MaintenanceWindowDialog::reject);
    layout->addWidget(buttons);

    showWindow(window);
    for (QAbstractButton* choice :
         {static_cast<QAbstractButton*>(allPages_), static_cast<QAbstractButton*>(oneOff_),
          static_cast<QAbstractButton*>(recurring_)})
        connect(choice, &QAbstractButton::toggled, this, &MaintenanceWindowDialog::followChoices);
    followChoices();
}

QWidget* MaintenanceWindowDialog::buildPages(const QStringList& addresses) {
    auto* group = new QGroupBox(QStringLiteral("Pages"));
    auto* layout = new QVBoxLayout(group);
    allPages_->setToolTip(QStringLiteral("The window holds every page of the list, now and later"));
    pages_->setAccessibleName(QStringLiteral("Pages"));
    pages_->setToolTip(QStringLiteral("Tick the pages the window holds"));
    // A page the window names that has left the list is still shown, so it is not lost unseen.
    QStringList shown = addresses;
    for (const QString& address : original_.pages)
        if (!shown.contains(address))
            shown.append(address);
    for (const QString& address : shown) {
        auto* item = new QListWidgetItem(address, pages_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    layout->addWidget(allPages_);
    layout->addWidget(pages_);
    return group;
}

QWidget* MaintenanceWindowDialog::buildTimes() {
    auto* group = new QGroupBox(QStringLiteral("When"));
    auto* layout = new QVBoxLayout(group);
    auto* kind = new QHBoxLayout;
    oneOff_->setToolTip(QStringLiteral("Once, from a start to an end"));
    recurring_->setToolTip(QStringLiteral("On some days of every week, at a time, for a length"));
    kind->addWidget(oneOff_);
    kind->addWidget(recurring_);
    kind->addStretch(1);
    layout->addLayout(kind);

    auto* form = new QFormLayout;
    DialogFields::addRow(form, QStringLiteral("Start"), start_, QStringLiteral("When the window opens"));
    DialogFields::addRow(form, QStringLiteral("End"), end_, QStringLiteral("When the window closes"));
    auto* days = new QWidget;
    auto* dayRow = new QHBoxLayout(days);
    dayRow->setContentsMargins(0, 0, 0, 0);
    for (std::size_t day = 0; day < days_.size(); ++day) {
        days_[day] = new QCheckBox(dayName(int(day) + 1));
        days_[day]->setObjectName(QStringLiteral("CheckBoxMaintenance") + days_[day]->text());
        dayRow->addWidget(days_[day]);
    }
    DialogFields::addRow(form, QStringLiteral("Every"), days, QStringLiteral("The days the window opens"));
    at_->setDisplayFormat(TimeFormat);
    DialogFields::addRow(form, QStringLiteral("At"), at_, QStringLiteral("The time of day the window opens"));
    DialogFields::addRow(form, QStringLiteral("Length"), length_,
                         QStringLiteral("How long it stays open: 30m, 2h or 1d"));
    timeZone_->setEditable(true);
    timeZone_->setInsertPolicy(QComboBox::NoInsert);
    timeZone_->addItem(QString());
    for (const QByteArray& zone : QTimeZone::availableTimeZoneIds())
        timeZone_->addItem(QString::fromLatin1(zone));
    timeZone_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    DialogFields::addRow(form, QStringLiteral("Time zone"), timeZone_,
                         QStringLiteral("The zone the times are in, such as Europe/Berlin; empty: this "
                                        "machine's"));
    layout->addLayout(form);
    return group;
}

void MaintenanceWindowDialog::showWindow(const MaintenanceWindow& window) {
    name_->setText(window.name);
    allPages_->setChecked(window.allPages);
    for (int row = 0; row < pages_->count(); ++row) {
        QListWidgetItem* item = pages_->item(row);
        item->setCheckState(window.pages.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
    (window.recurring() ? recurring_ : oneOff_)->setChecked(true);
    // Either kind starts the other's fields from what it has, should the user switch.
    const QDateTime start =
        window.start.isValid()
            ? window.start
            : QDateTime(QDate::currentDate(), QTime(QTime::currentTime().hour(), 0)).addSecs(3600);
    showWallClock(start_, start);
    showWallClock(end_, window.end.isValid() ? window.end : start.addSecs(3600));
    for (std::size_t day = 0; day < days_.size(); ++day)
        days_[day]->setChecked(window.days.contains(int(day) + 1));
    at_->setTime(window.at.isValid() ? window.at : start.time());
    length_->setText(Duration::text(window.lengthSeconds > 0 ? window.lengthSeconds : 3600));
    timeZone_->setCurrentText(window.timeZone);
}

void MaintenanceWindowDialog::followChoices() {
    pages_->setEnabled(!allPages_->isChecked());
    const bool recurring = recurring_->isChecked();
    start_->setEnabled(!recurring);
    end_->setEnabled(!recurring);
    for (QCheckBox* day : days_)
        day->setEnabled(recurring);
    at_->setEnabled(recurring);
    length_->setEnabled(recurring);
}

MaintenanceWindow MaintenanceWindowDialog::window() const {
    MaintenanceWindow w;
    w.name = name_->text().trimmed();
    w.allPages = allPages_->isChecked();
    for (int row = 0; row < pages_->count() && !w.allPages; ++row)
        if (pages_->item(row)->checkState() == Qt::Checked)
            w.pages.append(pages_->item(row)->text());
    if (recurring_->isChecked()) {
        for (std::size_t day = 0; day < days_.size(); ++day)
            if (days_[day]->isChecked())
                w.days.append(int(day) + 1);
        w.at = at_->time();
        w.lengthSeconds = Duration::parseSeconds(length_->text().trimmed()).value_or(0);
    } else {
        w.start = wallClock(start_, original_.start);
        w.end = wallClock(end_, original_.end);
    }
    w.timeZone = timeZone_->currentText().trimmed();
    return w;
}

QWidget* MaintenanceWindowDialog::fieldOf(const QString& problem) const {
    const QString field = problem.section(QLatin1Char(':'), 0, 0);
    const std::pair<const char*, QWidget*> fields[] = {
        {"pages", allPages_->isChecked() ? static_cast<QWidget*>(allPages_) : pages_},
        {"start", start_},
        {"end", end_},
        {"every", days_[0]},
        {"at", at_},
        {"duration", length_},
        {"timeZone", timeZone_}};
    for (const auto& [name, widget] : fields)
        if (field == QLatin1String(name))
            return widget;
    return name_;
}

void MaintenanceWindowDialog::accept() {
    const MaintenanceWindow w = window();
    QString problem;
    // A recurring window without a day or a length would read as something else altogether.
    if (recurring_->isChecked() && w.days.isEmpty())
        problem = QStringLiteral("every: tick at least one day");
    else if (recurring_->isChecked() && w.lengthSeconds <= 0)
        problem = QStringLiteral("duration: not a length such as 30m, 2h or 1d");
    else
        problem = MaintenanceWindows::problem(w);
    error_->setText(problem);
    error_->setVisible(!problem.isEmpty());
    if (described_)
        described_->setAccessibleDescription({});
    if (problem.isEmpty()) {
        QDialog::accept();
        return;
    }
    // A screen reader says what is wrong when the field gets the focus.
    described_ = fieldOf(problem);
    described_->setAccessibleDescription(problem);
    described_->setFocus();
}
