// Holding alarms from the window: maintenance windows edited on the Alarms tab, a page that
// depends on another, and a pause of all alarms from the tray menu or the toolbar, said in the
// status bar while it lasts.
#include "check/AlarmPause.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/MaintenanceDialog.h"
#include "views/MaintenanceWindowDialog.h"
#include "views/PageOptionsDialog.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"
#include "views/TWinTaskbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

template <class T> T* field(QWidget* dialog, const char* name) {
    auto* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no field %s", name);
    return found;
}

QAction* action(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

class TestHoldControls : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    // Added, edited and deleted from the keyboard; only OK gives the monitor the windows.
    void maintenanceWindowsAreEditedAndKept() {
        WindowFixture fixture("[defaults]\nCheckListBoxURL=1http://a.example/,1http://b.example/,\n");
        TFormMainWindow& w = fixture.start();
        w.PageControl1->setCurrentWidget(w.alarms.TabSheet5);
        const auto openList = [&] {
            QTest::keyClick(w.alarms.ButtonMaintenance, Qt::Key_Space);
            return fixture.find<MaintenanceDialog>("DialogMaintenance");
        };
        const auto openWindow = [&](QDialog* list, const char* button) {
            QTest::keyClick(field<QPushButton>(list, button), Qt::Key_Space);
            return list->findChild<MaintenanceWindowDialog*>("DialogMaintenanceWindow");
        };
        MaintenanceDialog* list = openList();
        QVERIFY(list);
        QVERIFY(!field<QPushButton>(list, "ButtonMaintenanceEdit")->isEnabled());

        QDialog* editor = openWindow(list, "ButtonMaintenanceAdd");
        QVERIFY(editor);
        auto* pages = field<QListWidget>(editor, "ListMaintenancePages");
        pages->setCurrentRow(1);
        QTest::keyClick(pages, Qt::Key_Space);
        // Nameless, it is refused, with the focus on the name.
        QTest::keyClick(field<QLineEdit>(editor, "EditMaintenanceName"), Qt::Key_Return);
        QVERIFY(editor->isVisible());
        QVERIFY(field<QLabel>(editor, "MaintenanceWindowError")->text().startsWith("name:"));
        QCOMPARE(editor->focusWidget(), field<QLineEdit>(editor, "EditMaintenanceName"));
        QTest::keyClicks(field<QLineEdit>(editor, "EditMaintenanceName"), "deploy");
        field<QDateTimeEdit>(editor, "EditMaintenanceStart")->setDateTime({{2026, 12, 24}, {22, 0}, Qt::UTC});
        field<QDateTimeEdit>(editor, "EditMaintenanceEnd")->setDateTime({{2026, 12, 24}, {23, 30}, Qt::UTC});
        QTest::keyClick(field<QLineEdit>(editor, "EditMaintenanceName"), Qt::Key_Return);
        QTRY_VERIFY(!list->findChild<MaintenanceWindowDialog*>());
        auto* windows = field<QListWidget>(list, "ListMaintenance");
        QCOMPARE(windows->item(0)->text(), "deploy: 2026-12-24 22:00 to 2026-12-24 23:30, http://b.example/");

        // Edited into a recurring window over all pages.
        QTest::keyClick(windows, Qt::Key_Return);
        editor = list->findChild<MaintenanceWindowDialog*>("DialogMaintenanceWindow");
        QVERIFY(editor);
        field<QLineEdit>(editor, "EditMaintenanceName")->setText("backup");
        QTest::keyClick(field<QCheckBox>(editor, "CheckBoxMaintenanceAllPages"), Qt::Key_Space);
        field<QRadioButton>(editor, "RadioMaintenanceRecurring")->click();
        for (const char* day : {"CheckBoxMaintenanceMon", "CheckBoxMaintenanceThu"})
            QTest::keyClick(field<QCheckBox>(editor, day), Qt::Key_Space);
        field<QTimeEdit>(editor, "EditMaintenanceAt")->setTime({23, 0});
        field<QLineEdit>(editor, "EditMaintenanceLength")->setText("1h");
        field<QComboBox>(editor, "ComboMaintenanceTimeZone")->setCurrentText("Europe/Berlin");
        QTest::keyClick(field<QLineEdit>(editor, "EditMaintenanceLength"), Qt::Key_Return);
        QTRY_VERIFY(!list->findChild<MaintenanceWindowDialog*>());

        // A second one, deleted again.
        editor = openWindow(list, "ButtonMaintenanceAdd");
        field<QLineEdit>(editor, "EditMaintenanceName")->setText("spare");
        QTest::keyClick(field<QCheckBox>(editor, "CheckBoxMaintenanceAllPages"), Qt::Key_Space);
        QTest::keyClick(field<QLineEdit>(editor, "EditMaintenanceName"), Qt::Key_Return);
        QTRY_COMPARE(windows->count(), 2);
        QCOMPARE(windows->currentRow(), 1);
        QTest::keyClick(field<QPushButton>(list, "ButtonMaintenanceDelete"), Qt::Key_Space);
        QCOMPARE(windows->count(), 1);
        QCOMPARE(windows->item(0)->text(), "backup: Mon, Thu at 23:00 for 1h, Europe/Berlin, all pages");
        QVERIFY(w.monitor.maintenance.isEmpty());

        MaintenanceWindow backup;
        backup.name = "backup";
        backup.allPages = true;
        backup.days = {1, 4};
        backup.at = QTime(23, 0);
        backup.lengthSeconds = 3600;
        backup.timeZone = "Europe/Berlin";
        list->accept();
        QCOMPARE(w.monitor.maintenance, QList<MaintenanceWindow>{backup});
        QTRY_VERIFY(!fixture.find<MaintenanceDialog>("DialogMaintenance"));

        // Cancel keeps the windows as they were.
        list = openList();
        QTest::keyClick(field<QPushButton>(list, "ButtonMaintenanceDelete"), Qt::Key_Space);
        list->reject();
        QCOMPARE(w.monitor.maintenance, QList<MaintenanceWindow>{backup});
    }

    void dependsOnNamesAnotherPageOfTheList_data() {
        QTest::addColumn<QString>("dependsOn");
        QTest::addColumn<bool>("kept");
        QTest::newRow("another page") << "http://a.example/" << true;
        QTest::newRow("none") << "" << true;
        QTest::newRow("itself") << "http://b.example/" << false;
        QTest::newRow("not in the list") << "http://gone.example/" << false;
        QTest::newRow("in a circle") << "http://c.example/" << false;
    }
    void dependsOnNamesAnotherPageOfTheList() {
        QFETCH(QString, dependsOn);
        QFETCH(bool, kept);
        WindowFixture fixture("[defaults]\nCheckListBoxURL=1http://a.example/,1http://b.example/,"
                              "1http://c.example/,\n");
        TFormMainWindow& w = fixture.start();
        PageOptions behindB;
        behindB.dependsOn = "http://b.example/";
        w.pages.setOptions(2, behindB);
        w.webPages.CheckListBoxURL->setCurrentRow(1);
        QTest::keyClick(w.webPages.ButtonPageOptions, Qt::Key_Space);
        auto* dialog = fixture.find<PageOptionsDialog>("DialogPageOptions");
        QVERIFY(dialog);
        auto* combo = field<QComboBox>(dialog, "ComboDependsOn");
        QCOMPARE(combo->count(), 3); // none, and the two other pages
        QTest::keyClicks(combo->lineEdit(), dependsOn);
        QTest::keyClick(field<QLineEdit>(dialog, "EditPageSlow"), Qt::Key_Return);
        QCOMPARE(field<QLabel>(dialog, "ComboDependsOnError")->isVisibleTo(dialog), !kept);
        QCOMPARE(w.pages.options(1).dependsOn, kept ? dependsOn : QString());
    }

    void pauseAndResumeFromTheMenus_data() {
        QTest::addColumn<QString>("length"); // the menu item; empty: from outside the window
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("15 minutes") << "15 minutes" << qint64(900);
        QTest::newRow("1 hour") << "1 hour" << qint64(3600);
        QTest::newRow("4 hours") << "4 hours" << qint64(4 * 3600);
        QTest::newRow("until resumed") << "Until resumed" << qint64(0);
        QTest::newRow("two days, from the command line") << "" << qint64(2 * 24 * 3600);
    }
    void pauseAndResumeFromTheMenus() {
        QFETCH(QString, length);
        QFETCH(qint64, seconds);
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        AlarmPause& pause = w.monitor.alarmPause();
        QMenu* tray = w.TrayIcon1->popUpMenu();
        QVERIFY(tray);
        QMenu* lengths = action(tray, "Pause alarms")->menu();
        QCOMPARE(w.toolBar.SpeedButtonPause->menu(), lengths);
        QAction* resume = action(tray, "Resume alarms");
        QVERIFY(!resume->isEnabled());
        QVERIFY(!w.toolBar.SpeedButtonResume->isEnabled());
        QCOMPARE(w.StatusBar1->panelText(), QString());

        const QDateTime before = QDateTime::currentDateTimeUtc();
        if (length.isEmpty())
            pause.pauseFor(seconds);
        else
            action(lengths, length)->trigger();
        QVERIFY(pause.paused());
        QString until = "resumed";
        if (seconds > 0) {
            QVERIFY(qAbs(before.addSecs(seconds).secsTo(pause.until())) < 60);
            until = pause.until().toLocalTime().toString(seconds > 24 * 3600 ? "yyyy-MM-dd HH:mm" : "HH:mm");
        } else {
            QVERIFY(pause.untilResumed());
        }
        QCOMPARE(w.StatusBar1->panelText(), "Alarms paused until " + until);
        QVERIFY(resume->isEnabled());
        // The cycle's texts go on beside it.
        w.statusLine.setText("Checking http://a.example/");
        QCOMPARE(w.StatusBar1->panelText(), "Alarms paused until " + until);

        QTest::keyClick(w.toolBar.SpeedButtonResume, Qt::Key_Space);
        QVERIFY(!pause.paused());
        QCOMPARE(w.StatusBar1->panelText(), QString());
        QVERIFY(!resume->isEnabled());
        QVERIFY(!w.toolBar.SpeedButtonResume->isEnabled());
    }
};

KORVANE_TEST_MAIN(TestHoldControls)
#include "test_hold_controls.moc"
