// "Start with the desktop session": the autostart entry behind the Connection tab's box.
#include "app/DesktopExec.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Toggle { SetChecked, SpaceKey, AccessibleAction };

void toggle(QCheckBox* box, Toggle how) {
    switch (how) {
    case Toggle::SetChecked:
        box->setChecked(!box->isChecked());
        break;
    case Toggle::SpaceKey:
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        break;
    case Toggle::AccessibleAction:
        QAccessible::queryAccessibleInterface(box)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
        break;
    }
}

} // namespace

class TestSessionAutostart : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testDialogs() = FakeDialogs();
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_->path()));
    }

    void execLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"/usr/bin/korvane", "--minimized"}
                               << "\"/usr/bin/korvane\" \"--minimized\"";
        QTest::newRow("blank") << QStringList{"/my monitors/KV.ini"} << "\"/my monitors/KV.ini\"";
        QTest::newRow("shell characters")
            << QStringList{"a\"b", "a`b", "$HOME"} << "\"a\\\\\"b\" \"a\\\\`b\" \"\\\\$HOME\"";
        QTest::newRow("backslash") << QStringList{"a\\b"} << "\"a\\\\\\\\b\"";
        QTest::newRow("field code") << QStringList{"100%f"} << "\"100%%f\"";
    }
    void execLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        QCOMPARE(DesktopExec::line(arguments), line);
    }

    void boxWritesAndRemovesTheEntry_data() {
        QTest::addColumn<Toggle>("how");
        QTest::newRow("setChecked") << Toggle::SetChecked;
        QTest::newRow("space key") << Toggle::SpaceKey;
        QTest::newRow("screen reader") << Toggle::AccessibleAction;
    }
    void boxWritesAndRemovesTheEntry() {
        QFETCH(Toggle, how);
        // The file system decides, not a value the settings file may hold.
        WindowFixture fixture("[defaults]\nCheckBoxAutostart=1\n");
        fixture.start();
        auto* box = fixture.find<QCheckBox>("CheckBoxAutostart");
        fixture.window().PageControl1->setCurrentWidget(fixture.window().connection.TabSheet6);
        QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
                 QString("Start with the desktop session"));
        QVERIFY(!box->isChecked());

        toggle(box, how);
        QTRY_VERIFY(box->isChecked());
        QFile entry(config_->filePath("autostart/org.korvane.Korvane.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString exec = "\nExec=" +
                             DesktopExec::line({QCoreApplication::applicationFilePath(), "--minimized",
                                                "--settings", fixture.settingsPath()}) +
                             "\n";
        QVERIFY(QString::fromUtf8(entry.readAll()).contains(exec));

        fixture.restart();
        box = fixture.find<QCheckBox>("CheckBoxAutostart");
        QVERIFY(box->isChecked());
        fixture.window().PageControl1->setCurrentWidget(fixture.window().connection.TabSheet6);
        toggle(box, how);
        QTRY_VERIFY(!entry.exists());
        QVERIFY(!box->isChecked());
        QVERIFY(testDialogs().errors.isEmpty());
    }

    void failureToWriteIsShownAndTheBoxStaysClear() {
        // A file where the autostart folder should be: not even root can write into it.
        QFile blocker(config_->filePath("autostart"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        WindowFixture fixture;
        fixture.start();
        auto* box = fixture.find<QCheckBox>("CheckBoxAutostart");
        box->setChecked(true);
        QVERIFY(!box->isChecked());
        QCOMPARE(testDialogs().errors.size(), 1);
        QVERIFY2(testDialogs().errors.first().startsWith("Unable to create"),
                 qPrintable(testDialogs().errors.first()));
        fixture.close();
        QVERIFY(!fixture.settingsText().contains("CheckBoxAutostart"));
    }

private:
    std::unique_ptr<QTemporaryDir> config_;
};

KORVANE_TEST_MAIN(TestSessionAutostart)
#include "test_session_autostart.moc"
