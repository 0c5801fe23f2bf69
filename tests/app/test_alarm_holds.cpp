// Holding alarms from the window: a page that depends on another.
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/PageOptionsDialog.h"
#include "views/TCheckListBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <class T> T* field(QWidget* dialog, const char* name) {
    auto* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no field %s", name);
    return found;
}

} // namespace

class TestAlarmHolds : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

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
};

KORVANE_TEST_MAIN(TestAlarmHolds)
#include "test_alarm_holds.moc"
