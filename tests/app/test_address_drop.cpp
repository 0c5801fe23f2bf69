// Addresses dragged from a browser or the desktop onto the window's tabs join the page list.
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStringEncoder>
#include <QTabWidget>
#include <QUrl>

namespace {

using Formats = QList<QPair<QString, QByteArray>>;

const Qt::DropActions BrowserActions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

// Drags data over the window's tabs, then drops it or, for a mere hover, leaves; whether a drop
// was taken.
bool drag(TFormMainWindow& w, const Formats& formats, Qt::DropActions offered, bool drop = true) {
    QMimeData data;
    for (const auto& [format, bytes] : formats)
        data.setData(format, bytes);
    const QPoint at = w.PageControl1->rect().center();
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.PageControl1, &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.PageControl1, &move);
    if (!drop) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(w.PageControl1, &leave);
        return false;
    }
    QDropEvent dropped(at, offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w.PageControl1, &dropped);
    return dropped.isAccepted();
}

Formats browserLink(const QString& url) {
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    return {{"text/x-moz-url", utf16le(url + "\nA page")}};
}

Formats text(const QString& text) {
    return {{"text/plain", text.toUtf8()}};
}

} // namespace

class TestAddressDrop : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void aDroppedLinkIsAddedOnceAndNotAfterClosing() {
        WindowFixture fixture("[defaults]\nCheckListBoxURL=1http://127.0.0.1/old/,\n");
        TFormMainWindow& w = fixture.start();
        QCOMPARE(w.PageControl1->currentWidget(), w.status.TabSheetStatus);
        const Formats link = browserLink("http://127.0.0.1/new/");
        drag(w, link, BrowserActions, false);
        QCOMPARE(w.PageControl1->currentWidget(), w.webPages.TabSheetWebPages);

        QVERIFY(drag(w, link, BrowserActions));
        QCOMPARE(w.pages.url(1), QString("http://127.0.0.1/new/"));
        QCOMPARE(w.StatusBar1->simpleText(), QString("http://127.0.0.1/new/ Added to List"));
        QVERIFY(drag(w, link, BrowserActions));
        QCOMPARE(w.StatusBar1->simpleText(), QString("http://127.0.0.1/new/ Already in the List"));

        w.close();
        QVERIFY(!drag(w, browserLink("http://127.0.0.1/late/"), BrowserActions));
        QCOMPARE(w.pages.pageCount(), 2);
        QVERIFY(!fixture.settingsText().contains("DropURLTarget1"));
    }

    void whatADropAddsOrWhyNot_data() {
        QTest::addColumn<Formats>("formats");
        QTest::addColumn<Qt::DropActions>("offered");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("status");
        const QString sentence = "Please check " + QString(60, 'x');
        const QString gone = dir.filePath("gone.url");
        const auto fileDrop = [](const QString& path) {
            return Formats{{"text/uri-list", QUrl::fromLocalFile(path).toEncoded()}};
        };
        QTest::newRow("not an address") << text(sentence) << BrowserActions << true << ""
                                        << "Not a web address: " + sentence.left(60);
        QTest::newRow("too long") << text("http://127.0.0.1/" + QString(100000, 'a')) << BrowserActions
                                  << true << ""
                                  << "The dropped text is too long to be an address";
        QTest::newRow("unreadable shortcut") << fileDrop(gone) << BrowserActions << true << ""
                                             << "Cannot read " + gone;
        QTest::newRow("file of another kind")
            << fileDrop(dir.filePath("notes.txt")) << BrowserActions << true << ""
            << "No address in the dropped data";
        QTest::newRow("no usable format")
            << Formats{{"image/png", "\x89PNG"}} << BrowserActions << false << ""
            << "before";
        QTest::newRow("copy only") << browserLink("http://127.0.0.1/copied/")
                                   << Qt::DropActions(Qt::CopyAction) << true << "http://127.0.0.1/copied/"
                                   << "http://127.0.0.1/copied/ Added to List";
        QTest::newRow("line break after")
            << text(" http://127.0.0.1/line/\r\n") << BrowserActions << true << "http://127.0.0.1/line/"
            << "http://127.0.0.1/line/ Added to List";
    }
    void whatADropAddsOrWhyNot() {
        QFETCH(Formats, formats);
        QFETCH(Qt::DropActions, offered);
        QFETCH(bool, taken);
        QFETCH(QString, added);
        QFETCH(QString, status);
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.webPages.EditURL->setText("typed");
        w.StatusBar1->setSimpleText("before");
        QCOMPARE(drag(w, formats, offered), taken);
        QCOMPARE(w.StatusBar1->simpleText(), status);
        QCOMPARE(w.webPages.CheckListBoxURL->texts(), added.isEmpty() ? QStringList() : QStringList{added});
        if (added.isEmpty())
            QCOMPARE(w.webPages.EditURL->text(), QString("typed"));
    }
};

KORVANE_TEST_MAIN(TestAddressDrop)
#include "test_address_drop.moc"
