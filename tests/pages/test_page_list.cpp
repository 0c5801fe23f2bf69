// The page list editor with the per-page lists kept aligned.
#include "pages/PageAddress.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace {

// One page as all its lists see it.
struct PageView {
    QString url;
    bool included;
    QString status;
    QString size, date, signature;
    bool checkSize, checkDate, checkSignature;
    int newestSample;

    bool operator==(const PageView&) const = default;
};

PageView pageAt(TFormMainWindow& w, int i) {
    return {w.pages.url(i),
            w.webPages.CheckListBoxURL->isChecked(i),
            w.misc.ListBoxStatus->model()->index(i, PageRecords::Status).data().toString(),
            w.misc.SizeList->itemText(i),
            w.misc.LastDateList->itemText(i),
            w.misc.SignatureList->itemText(i),
            w.misc.SizeList->isChecked(i),
            w.misc.LastDateList->isChecked(i),
            w.misc.SignatureList->isChecked(i),
            w.pages.history(i)[0]};
}

void add(TFormMainWindow& w, const QString& url) {
    w.webPages.EditURL->setText(url);
    QTest::mouseClick(w.webPages.ButtonAdd, Qt::LeftButton);
}

void select(TFormMainWindow& w, int row) {
    TCheckListBox* list = w.webPages.CheckListBoxURL;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, PageRecords::Address)).center());
}

} // namespace

class TestPageList : public QObject {
    Q_OBJECT

    WindowFixture* fixture = nullptr;
    TFormMainWindow* w = nullptr;

private slots:
    void init() {
        fixture = new WindowFixture;
        w = &fixture->start();
        w->PageControl1->setCurrentWidget(w->webPages.TabSheetWebPages);
    }
    void cleanup() {
        delete fixture;
        fixture = nullptr;
    }

    void addedPageGetsAFreshRecordWithTheBoxOptions() {
        w->webPages.CheckBoxCheckSize->setChecked(true);
        w->webPages.CheckBoxCheckSignature->setChecked(true);
        add(*w, "http://one.example/");
        QCOMPARE(pageAt(*w, 0),
                 (PageView{"http://one.example/", true, "0", "-", "-", "-", true, false, true, -1}));
        QCOMPARE(w->StatusBar1->simpleText(), QString("http://one.example/ Added to List"));
        QCOMPARE(w->webPages.EditURL->text(), QString("http://"));
        // The design rows are still kept after the page's own.
        QCOMPARE(w->pages.listed(PageRecords::Size).size(), 18);
    }

    void addingAListedAddressInOtherLetterCaseAddsNothing() {
        add(*w, "http://One.Example/");
        // "+" is disabled for a listed address; Enter still tries.
        w->webPages.EditURL->setText("HTTP://ONE.EXAMPLE/");
        QVERIFY(!w->webPages.ButtonAdd->isEnabled());
        QTest::keyClick(w->webPages.EditURL, Qt::Key_Return);
        QCOMPARE(w->pages.pageCount(), 1);
        QCOMPARE(w->StatusBar1->simpleText(), QString("HTTP://ONE.EXAMPLE/ Already in the List"));
        QCOMPARE(w->webPages.EditURL->text(), QString("HTTP://ONE.EXAMPLE/"));
    }

    void enterAddsEvenWhilePlusIsDisabled() {
        add(*w, "http://a/");
        w->webPages.EditURL->setText("http://a/");
        QVERIFY(!w->webPages.ButtonAdd->isEnabled());
        QVERIFY(w->webPages.ButtonDel->isEnabled());
        QTest::keyClick(w->webPages.EditURL, Qt::Key_Return);
        QCOMPARE(w->StatusBar1->simpleText(), QString("http://a/ Already in the List"));
        w->webPages.EditURL->setText("http://b/");
        QVERIFY(w->webPages.ButtonAdd->isEnabled());
        QVERIFY(!w->webPages.ButtonDel->isEnabled());
        QTest::keyClick(w->webPages.EditURL, Qt::Key_Enter);
        QCOMPARE(w->pages.url(1), QString("http://b/"));
    }

    void defaultAndEmptyTextsAreAddedAsTheyAre() {
        add(*w, "http://");
        add(*w, "");
        QCOMPARE(w->webPages.CheckListBoxURL->texts(), QStringList({"http://", ""}));
    }

    void addressWithACommaIsKeptEncodedSoTheListSurvivesSaving() {
        add(*w, "http://a.example/list?ids=1,2");
        QCOMPARE(w->pages.url(0), QString("http://a.example/list?ids=1%2C2"));
        QCOMPARE(w->StatusBar1->simpleText(), QString("http://a.example/list?ids=1%2C2 Added to List"));
        // Typing the same address again finds it.
        w->webPages.EditURL->setText("http://a.example/list?ids=1,2");
        QVERIFY(w->webPages.ButtonDel->isEnabled());
        add(*w, "http://b/");
        TFormMainWindow& again = fixture->restart();
        QCOMPARE(again.webPages.CheckListBoxURL->texts(),
                 QStringList({"http://a.example/list?ids=1%2C2", "http://b/"}));
    }

    // Kept percent-encoded, an address shows as typed after a restart; an older file loses nothing.
    void addressAsTypedSurvivesTheSettingsFile_data() {
        QTest::addColumn<QByteArray>("older"); // the list in an older file; empty: typed now
        QTest::newRow("typed") << QByteArray();
        QTest::newRow("older file, UTF-8") << QByteArray("1http://b\xC3\xBC.example/\xC3\xA4 b?q=%41,");
        QTest::newRow("older file, Latin-1") << QByteArray("1http://b\xFC.example/\xE4 b?q=%41,");
    }
    void addressAsTypedSurvivesTheSettingsFile() {
        QFETCH(QByteArray, older);
        const QString typed = "http://bü.example/ä b?q=%41";
        WindowFixture file("[defaults]\nCheckListBoxURL=" + older + "\n");
        TFormMainWindow& first = file.start();
        // Typed partly encoded, a page is held as it comes back, so it stays the same page.
        if (older.isEmpty())
            first.pages.addPage(storablePageAddress("http://bü.example/%C3%A4 b?q=%41"), false, false, false);
        QCOMPARE(first.pages.url(0), typed);
        PageOptions options;
        options.timeOut = "30";
        first.pages.setOptions(0, options);
        TFormMainWindow& again = file.restart();
        QCOMPARE(again.pages.url(0), typed);
        QCOMPARE(again.pages.options(0), options);
        const QByteArray kept = "http://b%C3%BC.example/%C3%A4%20b?q=%41";
        QVERIFY(file.settingsText().contains("CheckListBoxURL=1" + kept + ",\n"));
        QVERIFY(file.settingsText().contains("\n1.address=" + kept + "\n"));
    }

    void deletingMovesLaterPagesUpWithAllTheirState() {
        for (int i = 0; i < 4; ++i) {
            w->webPages.CheckBoxCheckDate->setChecked(i == 2);
            add(*w, QString("http://p%1/").arg(i));
            w->pages.writeStatus(i, PageStatus(i + 2));
            w->pages.setValue(PageRecords::Size, i, QString::number(100 + i));
            w->pages.pushAccessTime(i, 10 + i);
        }
        w->webPages.CheckListBoxURL->setChecked(3, false);
        const PageView third = pageAt(*w, 2);
        const PageView fourth = pageAt(*w, 3);
        select(*w, 1);
        QTest::mouseClick(w->webPages.ButtonDel, Qt::LeftButton);
        QCOMPARE(w->pages.pageCount(), 3);
        QCOMPARE(pageAt(*w, 1), third);
        QCOMPARE(pageAt(*w, 2), fourth);
        QCOMPARE(w->webPages.EditURL->text(), QString("http://p1/"));
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());

        // Nothing is selected after the deletion: a second "-" and an "Apply" touch no neighbour.
        QCOMPARE(w->webPages.CheckListBoxURL->selectedIndex(), -1);
        QTest::mouseClick(w->webPages.ButtonDel, Qt::LeftButton);
        w->webPages.EditURL->setText("http://other/");
        QTest::mouseClick(w->webPages.ButtonApplyChanges, Qt::LeftButton);
        QCOMPARE(w->pages.pageCount(), 3);
        QCOMPARE(pageAt(*w, 1), third);
        QCOMPARE(pageAt(*w, 2), fourth);
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
    }

    void deleteWithNothingSelectedOnlyDisablesApply() {
        add(*w, "http://a/");
        w->webPages.CheckListBoxURL->setCurrentRow(-1);
        w->webPages.EditURL->setText("http://a/");
        QVERIFY(w->webPages.ButtonApplyChanges->isEnabled());
        w->webPages.ButtonDel->click();
        QCOMPARE(w->pages.pageCount(), 1);
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
    }

    void deleteRemovesTheSelectedPageNotTheOneTheTextNames() {
        add(*w, "http://a/");
        add(*w, "http://b/");
        select(*w, 0);
        w->webPages.EditURL->setText("http://b/");
        QVERIFY(w->webPages.ButtonDel->isEnabled());
        w->webPages.ButtonDel->click();
        QCOMPARE(w->webPages.CheckListBoxURL->texts(), QStringList{"http://b/"});
    }

    void applyChangesTextAndOptionsButKeepsMarkStatusAndValues() {
        add(*w, "http://old/");
        w->webPages.CheckListBoxURL->setChecked(0, false);
        w->pages.writeStatus(0, PageStatus::Ok);
        w->pages.setValue(PageRecords::Signature, 0, "\"etag\"");
        select(*w, 0);
        QCOMPARE(w->webPages.EditURL->text(), QString("http://old/"));
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
        w->webPages.EditURL->setText("http://new/");
        w->webPages.CheckBoxCheckSignature->setChecked(true);
        QVERIFY(w->webPages.ButtonApplyChanges->isEnabled());
        QTest::mouseClick(w->webPages.ButtonApplyChanges, Qt::LeftButton);
        QCOMPARE(pageAt(*w, 0),
                 (PageView{"http://new/", false, "3", "-", "-", "\"etag\"", false, false, true, -1}));
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
    }

    void selectingLoadsThePageIntoTheEditor() {
        w->webPages.CheckBoxCheckSize->setChecked(true);
        add(*w, "http://a/");
        w->webPages.CheckBoxCheckSize->setChecked(false);
        w->webPages.CheckBoxCheckDate->setChecked(true);
        add(*w, "http://b/");
        select(*w, 0);
        QCOMPARE(w->webPages.EditURL->text(), QString("http://a/"));
        QVERIFY(w->webPages.CheckBoxCheckSize->isChecked());
        QVERIFY(!w->webPages.CheckBoxCheckDate->isChecked());
        QTest::keyClick(w->webPages.CheckListBoxURL, Qt::Key_Down);
        QCOMPARE(w->webPages.EditURL->text(), QString("http://b/"));
        QVERIFY(w->webPages.CheckBoxCheckDate->isChecked());
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
    }

    void showingTheTabSelectsTheFirstPage() {
        add(*w, "http://first/");
        add(*w, "http://second/");
        w->webPages.CheckListBoxURL->setCurrentRow(-1);
        w->PageControl1->setCurrentWidget(w->status.TabSheetStatus);
        w->PageControl1->setCurrentWidget(w->webPages.TabSheetWebPages);
        QCOMPARE(w->webPages.CheckListBoxURL->selectedIndex(), 0);
        QCOMPARE(w->webPages.EditURL->text(), QString("http://first/"));
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
    }

    void showingTheTabWithAnEmptyListLeavesTheEditor() {
        w->webPages.EditURL->setText("typed");
        w->PageControl1->setCurrentWidget(w->status.TabSheetStatus);
        w->PageControl1->setCurrentWidget(w->webPages.TabSheetWebPages);
        QCOMPARE(w->webPages.EditURL->text(), QString("typed"));
        QVERIFY(!w->webPages.ButtonApplyChanges->isEnabled());
    }

    void accessHistoryKeepsTheNewest35() {
        add(*w, "http://a/");
        for (int s = 1; s <= 40; ++s)
            w->pages.pushAccessTime(0, s);
        QCOMPARE(w->pages.history(0)[0], 40);
        QCOMPARE(w->pages.history(0)[34], 6);
        w->pages.resetHistories();
        QCOMPARE(w->pages.history(0)[0], AccessHistory::NoSample);
    }
};

KORVANE_TEST_MAIN(TestPageList)
#include "test_page_list.moc"
