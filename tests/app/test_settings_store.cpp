// Settings survive a restart through "KV.ini", in the file's own format.
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/TCheckListBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QStringList keysInOrder(const QByteArray& text) {
    QStringList keys;
    for (const QByteArray& line : text.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys.append(QString::fromUtf8(line.left(eq)));
    }
    return keys;
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void init() { testDialogs() = FakeDialogs(); }

    void firstSaveWritesEveryControlInComponentOrder() {
        WindowFixture fixture;
        fixture.start();
        fixture.close();
        const QByteArray text = fixture.settingsText();
        QVERIFY(text.startsWith("[defaults]\nEditURL=http://\nCheckBoxCheckSize=0\nCheckBoxCheckSignature=0\n"
                                "CheckBoxCheckDate=0\nCheckListBoxURL=\nEditEmailID=\n"));
        const QStringList keys = keysInOrder(text);
        QCOMPARE(keys.size(), 132);
        QCOMPARE(keys.mid(17, 6), QStringList({"CheckBoxNEL", "CheckBoxSL", "CheckBoxTOL", "CheckBoxPNFL",
                                               "CheckBoxHNFL", "CheckBoxSM1"}));
        QCOMPARE(keys.mid(42, 6), QStringList({"EditYWavFileName", "CheckBoxSPW", "CheckBoxTOPW",
                                               "CheckBoxPNFPW", "CheckBoxHNFPW", "EditRWavFileName"}));
        QCOMPARE(keys.mid(keys.size() - 64), QStringList({"CheckBoxDaCM3",
                                                          "CheckBoxCFL",
                                                          "CheckBoxCFY",
                                                          "CheckBoxCFR",
                                                          "CheckBoxCFPW",
                                                          "CheckBoxCFM1",
                                                          "CheckBoxCFM2",
                                                          "CheckBoxCFM3",
                                                          "CheckBoxCEL",
                                                          "CheckBoxCEY",
                                                          "CheckBoxCER",
                                                          "CheckBoxCEPW",
                                                          "CheckBoxCEM1",
                                                          "CheckBoxCEM2",
                                                          "CheckBoxCEM3",
                                                          "CheckBoxRCL",
                                                          "CheckBoxRCM1",
                                                          "CheckBoxRCM2",
                                                          "CheckBoxRCM3",
                                                          "CheckBoxCKL",
                                                          "CheckBoxCKY",
                                                          "CheckBoxCKR",
                                                          "CheckBoxCKPW",
                                                          "CheckBoxCKM1",
                                                          "CheckBoxCKM2",
                                                          "CheckBoxCKM3",
                                                          "CheckBoxNEChat",
                                                          "CheckBoxSChat",
                                                          "CheckBoxTOChat",
                                                          "CheckBoxPNFChat",
                                                          "CheckBoxHNFChat",
                                                          "CheckBoxSCChat",
                                                          "CheckBoxSiCChat",
                                                          "CheckBoxDaCChat",
                                                          "CheckBoxCFChat",
                                                          "CheckBoxCEChat",
                                                          "CheckBoxRCChat",
                                                          "CheckBoxCKChat",
                                                          "CheckBoxDesktopNotification",
                                                          "EditProxyHost",
                                                          "EditProxyPort",
                                                          "CheckBoxProxy",
                                                          "EditTimeSlow",
                                                          "EditTimeOut",
                                                          "EditInterval",
                                                          "CheckBoxAcceptUntrusted",
                                                          "EditCertDays",
                                                          "EditFailCount",
                                                          "EditNetworkCheck",
                                                          "EditParallelChecks",
                                                          "EditHistoryDays",
                                                          "SizeList",
                                                          "LastDateList",
                                                          "SignatureList",
                                                          "EditRootTo",
                                                          "EditBrowseTo",
                                                          "ComboChatService1",
                                                          "EditChatAddress1",
                                                          "ComboChatService2",
                                                          "EditChatAddress2",
                                                          "ComboChatService3",
                                                          "EditChatAddress3",
                                                          "CheckBoxMailPerCycle",
                                                          "EditMetricsAddress"}));
        QVERIFY(text.contains("\nCheckBoxNEL=0\n"));
        QVERIFY(text.contains("\nCheckBoxSL=1\n"));
        QVERIFY(text.contains("\nMemo1=\"\"An error occurred while trying to access:\",%URL%:,,"
                              "\"The error message was:\",\"%ERROR% \"\"\n"));
        QVERIFY(text.contains("\nSizeList=" + QByteArray("0,").repeated(17) + "\n"));
        QVERIFY(
            text.contains("\nEditLocalName=\nEdit1localEMail=\nComboEmailSecurity=None\nEditEmailUser=\n"));
        // Not saved: the status list, the keywords, the log, the toolbar, the mail password.
        for (const char* notSaved :
             {"ListBoxStatus", "ListBoxKeywords", "Log", "SpeedButtonStart", "DrawGrid1", "EditEmailPassword",
              "ButtonSendTestMail", "EditChatToken1"})
            QVERIFY2(!keys.contains(notSaved), notSaved);
    }

    void everyKindOfControlRoundTrips() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.emailSetup.EditEmailHost->setText("mail.example.test");
        w.sendingEmail.EditEMail2->setText("ops@example.test");
        w.connection.CheckBoxProxy->setChecked(true);
        w.sendingEmail.CheckBoxMailPerCycle->setChecked(true);
        w.alarms.rows[int(AlarmCondition::NoError)].Log->setChecked(true);
        w.alarms.rows[int(AlarmCondition::TimeOut)].Red->setChecked(false);
        w.sendingEmail.Memo1->setPlainText("Line one\n\n\"quoted\", with comma\n%ERROR% ");
        // Minutes take whole numbers only, as typed.
        QTest::keyClicks(w.alarms.EditRemindEvery, "-30");
        QTest::keyClicks(w.sendingEmail.EditEMailAfter2, "1.5");
        QTest::keyClicks(w.chatAlerts.targets[2].after, "60 min");
        QCOMPARE(w.settings.text("EditEMailAfter2"), "15");
        for (int i = 0; i < 1000; ++i) {
            w.webPages.CheckBoxCheckSize->setChecked(i % 3 == 0);
            w.webPages.CheckBoxCheckDate->setChecked(i % 5 == 0);
            w.webPages.EditURL->setText(QString("http://127.0.0.1:8080/pages/page-%1.html").arg(i));
            w.webPages.ButtonAdd->click();
        }
        w.webPages.CheckListBoxURL->setChecked(7, false);
        w.pages.setValue(PageRecords::Size, 3, "12345");

        TFormMainWindow& again = fixture.restart();
        QCOMPARE(again.emailSetup.EditEmailHost->text(), QString("mail.example.test"));
        QCOMPARE(again.sendingEmail.EditEMail2->text(), QString("ops@example.test"));
        QCOMPARE(again.alarms.EditRemindEvery->text(), "30");
        QCOMPARE(again.sendingEmail.EditEMailAfter2->text(), "15");
        QCOMPARE(again.chatAlerts.targets[2].after->text(), "60");
        QVERIFY(again.connection.CheckBoxProxy->isChecked());
        QVERIFY(again.sendingEmail.CheckBoxMailPerCycle->isChecked());
        QVERIFY(again.alarms.rows[int(AlarmCondition::NoError)].Log->isChecked());
        QVERIFY(!again.alarms.rows[int(AlarmCondition::TimeOut)].Red->isChecked());
        QCOMPARE(again.sendingEmail.Memo1->toPlainText(),
                 QString("Line one\n\n\"quoted\", with comma\n%ERROR% "));
        QCOMPARE(again.pages.pageCount(), 1000);
        QCOMPARE(again.pages.url(999), QString("http://127.0.0.1:8080/pages/page-999.html"));
        QVERIFY(!again.webPages.CheckListBoxURL->isChecked(7));
        QVERIFY(again.webPages.CheckListBoxURL->isChecked(8));
        // The value lists keep their 17 or 18 design rows in front, then one row per page.
        QCOMPARE(again.pages.listed(PageRecords::Size).size(), 1017);
        QCOMPARE(again.misc.SizeList->itemText(3), QString("12345"));
        QCOMPARE(again.misc.SizeList->itemText(17), QString("-"));
        // Page i's options are the marks of row i.
        QVERIFY(again.misc.SizeList->isChecked(999));
        QVERIFY(!again.misc.SizeList->isChecked(998));
        QVERIFY(again.misc.LastDateList->isChecked(995));
        QVERIFY(!again.misc.LastDateList->isChecked(996));
        QCOMPARE(again.pages.listed(PageRecords::Date).size(), 1018);
        QCOMPARE(again.pages.readStatus(999), PageStatus::Failed);
        QCOMPARE(again.PageControl1->currentWidget(), again.status.TabSheetStatus);
    }

    void securityChoiceRestores_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("chosen"); // "" = nothing chosen before the restart
        QTest::addColumn<QString>("restored");
        QTest::newRow("chosen") << QByteArray() << "STARTTLS"
                                << "STARTTLS";
        QTest::newRow("none of the items") << QByteArray("[defaults]\nComboEmailSecurity=SSL\n") << ""
                                           << "None";
        QTest::newRow("other letter case") << QByteArray("[defaults]\nComboEmailSecurity=tls\n") << ""
                                           << "None";
        QTest::newRow("older file without the key")
            << QByteArray("[defaults]\nEditEmailHost=mail.example.test\n") << ""
            << "None";
    }
    void securityChoiceRestores() {
        QFETCH(QByteArray, file);
        QFETCH(QString, chosen);
        QFETCH(QString, restored);
        WindowFixture fixture(file);
        QComboBox* combo = fixture.start().emailSetup.ComboEmailSecurity;
        if (!chosen.isEmpty()) {
            combo->setFocus();
            QTest::keyClicks(combo, chosen.left(1));
            QCOMPARE(combo->currentText(), chosen);
        }
        QCOMPARE(fixture.restart().emailSetup.ComboEmailSecurity->currentText(), restored);
    }

    void handWrittenFileRestoresExactly() {
        WindowFixture fixture("; written by hand\r\n"
                              "[Defaults]\r\n"
                              "editurl =   http://typed.example/   \r\n"
                              "EditTimeOut=\"45\"\r\n"
                              "EditInterval='3'\r\n"
                              "CheckBoxProxy=yes\r\n"
                              "CheckBoxNEL=1\r\n"
                              "CheckListBoxURL=1http://a.example/,0http://b.example/,2http://c.example/,\r\n"
                              "SizeList=1100,0-,1-,\r\n"
                              "Memo1=\"Hello,\"%URL% \",,last\"\r\n"
                              "[Other]\r\nEditEmailHost=ignored\r\n");
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.webPages.EditURL->text(), QString("http://typed.example/"));
        QCOMPARE(w.connection.EditTimeOut->text(), QString("45"));
        QCOMPARE(w.connection.EditInterval->text(), QString("3"));
        QVERIFY(!w.connection.CheckBoxProxy->isChecked());
        QVERIFY(w.alarms.rows[int(AlarmCondition::NoError)].Log->isChecked());
        QCOMPARE(w.webPages.CheckListBoxURL->texts(),
                 QStringList({"http://a.example/", "http://b.example/", "http://c.example/"}));
        QVERIFY(w.webPages.CheckListBoxURL->isChecked(0));
        QVERIFY(!w.webPages.CheckListBoxURL->isChecked(1));
        QVERIFY(!w.webPages.CheckListBoxURL->isChecked(2));
        QCOMPARE(w.misc.SizeList->texts(), QStringList({"100", "-", "-"}));
        QVERIFY(w.misc.SizeList->isChecked(0));
        QVERIFY(!w.misc.SizeList->isChecked(1));
        QCOMPARE(w.sendingEmail.Memo1->toPlainText(), QString("Hello\n%URL% \n\nlast"));
        QCOMPARE(w.emailSetup.EditEmailHost->text(), QString());
        // Settings the file predates keep their defaults.
        QVERIFY(!w.sendingEmail.CheckBoxMailPerCycle->isChecked());
        QCOMPARE(w.connection.EditNetworkCheck->text(), QString());
        // Keys of the file that are not written again stay as the user wrote them.
        fixture.close();
        QVERIFY(fixture.settingsText().startsWith("; written by hand\r\n[Defaults]\r\n"));
        QVERIFY(fixture.settingsText().contains("[Other]\r\nEditEmailHost=ignored\r\n"));
    }

    // A file written before the "Connection Failed" row and the certificate box existed.
    void olderFileLoadsWithTheNewKeysAtTheirDefaults() {
        WindowFixture fixture;
        fixture.start();
        fixture.close();
        const auto isNew = [](const QByteArray& line) {
            return line.startsWith("CheckBoxCF") || line.startsWith("CheckBoxAcceptUntrusted=");
        };
        QList<QByteArray> older;
        for (const QByteArray& line : fixture.settingsText().split('\n'))
            if (!isNew(line))
                older << (line.startsWith("EditTimeOut=") ? QByteArray("EditTimeOut=33") : line);
        QFile file(fixture.settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(older.join('\n'));
        file.close();

        TFormMainWindow& w = fixture.restart();
        const AlarmRow& failed = w.alarms.rows[int(AlarmCondition::ConnectionFailed)];
        QCOMPARE(QList<bool>({failed.Log->isChecked(), failed.Yellow->isChecked(), failed.Red->isChecked(),
                              failed.PlayWav->isChecked(), failed.Email1->isChecked(),
                              failed.Email2->isChecked(), failed.Email3->isChecked()}),
                 QList<bool>({true, false, true, true, false, false, false}));
        QVERIFY(!w.connection.CheckBoxAcceptUntrusted->isChecked());
        fixture.close();
        // Every older key keeps its place and its value; the new ones are added.
        QList<QByteArray> kept;
        int added = 0;
        for (const QByteArray& line : fixture.settingsText().split('\n'))
            isNew(line) ? void(++added) : kept.append(line);
        QCOMPARE(kept, older);
        QCOMPARE(added, 9); // the row's eight boxes and its chat box
    }

    void listValueWithoutFinalCommaKeepsItsLastItem() {
        WindowFixture fixture("[defaults]\nCheckListBoxURL=1http://a/,1http://b/\n");
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.webPages.CheckListBoxURL->texts(), QStringList({"http://a/", "http://b/"}));
        QVERIFY(w.webPages.CheckListBoxURL->isChecked(1));
        // Every restored page has its status and value rows, also beyond the design rows.
        QCOMPARE(w.pages.readStatus(1), PageStatus::Failed);
    }

    void shortHandWrittenValueListsAreFilledForEveryPage() {
        QByteArray pages;
        for (int i = 0; i < 30; ++i)
            pages += "1http://p" + QByteArray::number(i) + "/,";
        WindowFixture fixture("[defaults]\nCheckListBoxURL=" + pages + "\nSizeList=1-,\n");
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.pages.pageCount(), 30);
        QCOMPARE(w.pages.listed(PageRecords::Size).size(), 30);
        QCOMPARE(w.misc.SizeList->itemText(29), QString("-"));
        QCOMPARE(w.pages.readStatus(29), PageStatus::Failed);
    }

    void emptiedListAndFieldsSurviveARestart() {
        WindowFixture fixture(
            "[defaults]\nCheckListBoxURL=1http://a/,1http://b/,\nEditEMail1=boss@example.test\n"
            "EditURL=http://x/\nMemo1=\"a,b\"\n");
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.pages.pageCount(), 2);
        for (int i = 0; i < 2; ++i) {
            w.webPages.CheckListBoxURL->setCurrentRow(0);
            w.webPages.EditURL->setText(w.pages.url(0));
            w.webPages.ButtonDel->click();
        }
        w.sendingEmail.EditEMail1->clear();
        w.webPages.EditURL->clear();
        w.sendingEmail.Memo1->clear();

        TFormMainWindow& again = fixture.restart();
        QCOMPARE(again.pages.pageCount(), 0);
        QCOMPARE(again.sendingEmail.EditEMail1->text(), QString());
        QCOMPARE(again.webPages.EditURL->text(), QString());
        QCOMPARE(again.sendingEmail.Memo1->toPlainText(), QString());
    }

    void unwritableFileReportsAndKeepsTheOldOne() {
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        // A folder in the file's place cannot be replaced, not even by root.
        QVERIFY(QDir().mkpath(fixture.settingsPath()));
        w.connection.EditTimeOut->setText("99");
        fixture.close();
        QCOMPARE(testDialogs().errors, QStringList{"Unable to write to " + fixture.settingsPath()});
        QVERIFY(QFileInfo(fixture.settingsPath()).isDir());
    }

    void failedSaveLeavesThePreviousFileIntact() {
        WindowFixture fixture("[defaults]\nEditTimeOut=31\n");
        TFormMainWindow& w = fixture.start();
        // No room for the temporary file: the folder is gone from under us.
        const QString moved = fixture.folder() + "-moved";
        QVERIFY(QDir().rename(fixture.folder(), moved));
        w.connection.EditTimeOut->setText("99");
        fixture.close();
        QCOMPARE(testDialogs().errors.size(), 1);
        QVERIFY(QDir().rename(moved, fixture.folder()));
        QCOMPARE(fixture.settingsText(), QByteArray("[defaults]\nEditTimeOut=31\n"));
    }

    void restoredTicksBringPlayWavAndApplyIntoLine() {
        WindowFixture fixture(
            "[defaults]\nCheckBoxSY=0\nCheckBoxSR=0\nCheckBoxSPW=1\nCheckBoxSCY=0\nCheckBoxSCR=1\n"
            "EditURL=http://restored/\n");
        TFormMainWindow& w = fixture.start();
        const AlarmRow& slow = w.alarms.rows[int(AlarmCondition::SlowAccess)];
        QVERIFY(!slow.PlayWav->isEnabled());
        QVERIFY(slow.PlayWav->isChecked());
        const AlarmRow& size = w.alarms.rows[int(AlarmCondition::SizeChanged)];
        QVERIFY(size.PlayWav->isEnabled());
        QVERIFY(w.alarms.rows[int(AlarmCondition::PageNotFound)].PlayWav->isEnabled());
        // The restored address counts as a change of the field: "+" and "-" follow it.
        QVERIFY(w.webPages.ButtonAdd->isEnabled());
        QVERIFY(!w.webPages.ButtonDel->isEnabled());
    }
};

KORVANE_TEST_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
