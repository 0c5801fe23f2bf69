// The mail password is kept in the secret store under the settings file's path, never in
// "KV.ini"; without a secret store it lasts the session and the settings are saved as always.
#include "support/FakeDialogs.h"
#include "support/FakeSecretStore.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/TStatusBar.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

class TestPasswordStore : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testDialogs() = FakeDialogs();
        testSecrets() = FakeSecretStore();
    }

    void passwordSurvivesOnlyThroughTheSecretStore_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("restored");
        QTest::addColumn<QString>("status");
        QTest::newRow("secret store") << true << "s3cret=\"pw\""
                                      << "";
        QTest::newRow("no secret store") << false << ""
                                         << "Password kept for this session only: no secret store";
    }
    void passwordSurvivesOnlyThroughTheSecretStore() {
        QFETCH(bool, present);
        QFETCH(QString, restored);
        QFETCH(QString, status);
        testSecrets().present = present;
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.StatusBar1->simpleText(), status);
        w.emailSetup.EditEmailPassword->setText("s3cret=\"pw\"");
        w.emailSetup.EditEmailHost->setText("mail.example.test");
        w.saveSettingsReporting();
        QCOMPARE(w.emailSetup.EditEmailPassword->text(), QString("s3cret=\"pw\""));
        fixture.close();

        const QByteArray text = fixture.settingsText();
        QVERIFY(text.contains("\nEditEmailHost=mail.example.test\n"));
        QVERIFY(!text.contains("s3cret"));
        QVERIFY(!text.contains("EditEmailPassword"));
        QCOMPARE(testDialogs().errors, QStringList());
        const QString key = QFileInfo(fixture.settingsPath()).absoluteFilePath();
        QCOMPARE(testSecrets().entries.keys(), present ? QStringList{key} : QStringList());
        QCOMPARE(fixture.restart().emailSetup.EditEmailPassword->text(), restored);
    }

    void eachSettingsFileHasItsOwnPasswordAndEmptyRemovesIt() {
        WindowFixture first;
        WindowFixture second;
        first.start().emailSetup.EditEmailPassword->setText("first");
        second.start().emailSetup.EditEmailPassword->setText("second");
        first.close();
        second.close();
        QCOMPARE(first.restart().emailSetup.EditEmailPassword->text(), QString("first"));
        first.window().emailSetup.EditEmailPassword->clear();
        first.close();
        QCOMPARE(testSecrets().entries.keys(),
                 QStringList{QFileInfo(second.settingsPath()).absoluteFilePath()});
        QCOMPARE(second.restart().emailSetup.EditEmailPassword->text(), QString("second"));
    }

    // A slow secret store: the window is up before its answers, and a close before them must
    // neither wait for them nor lose the stored password; a password typed meanwhile wins.
    void answersThatComeLateNeitherLoseNorOverwrite() {
        WindowFixture fixture;
        const QString key = QFileInfo(fixture.settingsPath()).absoluteFilePath();
        testSecrets().entries.insert(key, "stored");
        testSecrets().held = true;
        fixture.start();
        fixture.close();
        testSecrets().release();
        QCOMPARE(testSecrets().entries.value(key), QString("stored"));

        QLineEdit* field = fixture.start().emailSetup.EditEmailPassword;
        QTest::keyClicks(field, "typed");
        testSecrets().release();
        QCOMPARE(field->text(), QString("typed"));
        fixture.close();
        testSecrets().release();
        QCOMPARE(testSecrets().entries.value(key), QString("typed"));
    }
};

KORVANE_TEST_MAIN(TestPasswordStore)
#include "test_password_store.moc"
