// The once-per-run update check through the real window, against root files served by nginx.
#include "browser/TWebBrowser.h"
#include "net/TNMHTTP.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"
#include "support/net/NginxPeer.h"
#include "support/net/ScriptedPeer.h"
#include "support/net/TestAuthority.h"
#include "update/PictureName.h"
#include "update/TAdvertisement.h"

#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

namespace {

constexpr int EngineWaitMs = 60000;

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The banner's first display notice, delivered as the banner library delivers it.
void bannerShown(TFormMainWindow& w) {
    QEvent shown(QEvent::Type(TAdvertisement::WM_ADDISPLAY));
    QCoreApplication::sendEvent(w.banner.Advertisement1, &shown);
}

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
    NginxPeer nginx;
    int served = 0;

    // A root file of its own on the server for each case.
    QString serve(const QByteArray& content) {
        const QString name = QString("root-%1.txt").arg(++served);
        nginx.addFile(name, content);
        return nginx.url(name);
    }

    QString rootTabCaption(TFormMainWindow& w) {
        return w.PageControl1->tabText(w.PageControl1->indexOf(w.browser.TabSheetRoot));
    }
    bool rootTabVisible(TFormMainWindow& w) {
        return w.PageControl1->isTabVisible(w.PageControl1->indexOf(w.browser.TabSheetRoot));
    }

private slots:
    void initTestCase() {
        nginx.addFile("page.html", "<html><body>news</body></html>");
        nginx.addFile("pic.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(100, 'p'));
        nginx.addFile("huge.txt", QByteArray(2 * 1024 * 1024, 'x'));
        QVERIFY2(nginx.start(), qPrintable(nginx.output()));
    }

    void init() { testDialogs() = FakeDialogs(); }
    void cleanup() { qunsetenv("KORVANE_UPDATE_ROOT"); }

    void rootFile_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("earlierRootFile");
        QTest::addColumn<int>("answer"); // -1: the box is closed
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("shownAtOnce");
        QTest::addColumn<QString>("rootTo");
        QTest::addColumn<bool>("delayedRoot");

        const QByteArray earlier =
            "[Updates]\nlast=korvane2.4\n[korvane2.4]\nHTMLvis=1\nHTMLtile=Earlier news\n";
        const QString page = nginx.url("page.html");
        QTest::newRow("no address, nothing kept")
            << QString() << QByteArray() << -1 << false << false << "Browser" << false << QString() << false;
        QTest::newRow("server fails, the earlier file counts")
            << "http://updates.invalid/root.txt" << earlier << -1 << false << true << "Earlier news" << false
            << QString() << false;
        QTest::newRow("error page, the earlier file counts")
            << nginx.url("missing.txt") << earlier << -1 << false << true << "Earlier news" << false
            << QString() << false;
        QTest::newRow("megabytes, the earlier file counts")
            << nginx.url("huge.txt") << earlier << -1 << false << true << "Earlier news" << false << QString()
            << false;
        QTest::newRow("garbage changes nothing")
            << serve(QByteArray("\x00\xff[\x01=\n\x80", 7).repeated(500)) << QByteArray() << -1 << false
            << false << "Browser" << false << QString() << false;
        QTest::newRow("this version, root page on a hidden tab")
            << serve("[Updates]\nlast=korvane2.4\n[KORVANE2.4]\nroot=" + page.toUtf8() + "\n") << QByteArray()
            << -1 << false << false << "FYI" << false << page << true;
        QTest::newRow("this version, shown in hexadecimal")
            << serve("[Updates]\nlast=korvane2.4\n[korvane2.4]\nHTMLvis=$1\nHTMLtile=\"Did you know\"\n")
            << QByteArray() << -1 << false << true << "Did you know" << false << QString() << false;
        QTest::newRow("visibility not a number ends the group")
            << serve("[Updates]\nlast=korvane2.4\n[korvane2.4]\nroot=" + page.toUtf8() + "\nHTMLvis=yes\n")
            << QByteArray() << -1 << false << false << "Browser" << false << page << true;
        QTest::newRow("no latest version named")
            << serve("[Updates]\nupdateURL=" + page.toUtf8() + "\n") << QByteArray() << -1 << false << false
            << "Browser" << false << QString() << false;
        QTest::newRow("an older version is news too, &No")
            << serve("[Updates]\nlast=korvane2.3\n[korvane2.4]\nHTMLvis=1\nroot=" + page.toUtf8() + "\n")
            << QByteArray() << 0 << true << false << "Browser" << false << QString() << false;
        QTest::newRow("newer version, box closed")
            << serve("[Updates]\nlast=korvane9\n") << QByteArray() << -1 << true << false << "Browser"
            << false << QString() << false;
        QTest::newRow("newer version, &Yes")
            << serve("[Updates]\nlast=korvane9\nupdateURL=" + page.toUtf8() + "\n") << QByteArray() << 1
            << true << true << "Update!" << true << page << false;
        QTest::newRow("newer version, &Yes, announced in the root file's folder")
            << serve("[Updates]\nlast=korvane9\nHTMLtile=New!\n") << QByteArray() << 1 << true << true
            << "New!" << true << nginx.url("") << false;
    }

    void rootFile() {
        QFETCH(QString, address);
        QFETCH(QByteArray, earlierRootFile);
        QFETCH(int, answer);
        qputenv("KORVANE_UPDATE_ROOT", address.toUtf8());
        WindowFixture fixture;
        const QString rootFile = fixture.folder() + "/KVr.ini";
        if (!earlierRootFile.isEmpty())
            writeFile(rootFile, earlierRootFile);
        TFormMainWindow& w = fixture.start();
        if (answer >= 0)
            testDialogs().confirmAnswers.enqueue(answer == 1);

        bannerShown(w);

        QFETCH(bool, asked);
        QCOMPARE(testDialogs().confirmRequests.size(), asked ? 1 : 0);
        if (asked)
            QCOMPARE(testDialogs().confirmRequests.first(),
                     (QStringList{"Confirm", "There a new version available, do you want to download it?"}));
        QTEST(rootTabVisible(w), "visible");
        QTEST(rootTabCaption(w), "caption");
        QFETCH(bool, shownAtOnce);
        QCOMPARE(w.PageControl1->currentWidget() == w.browser.TabSheetRoot, shownAtOnce);
        QTEST(w.browser.EditRootTo->text(), "rootTo");
        QTEST(w.TimerHTML1->isActive(), "delayedRoot");
        w.TimerHTML1->stop();
        if (!earlierRootFile.isEmpty())
            QCOMPARE(readFile(rootFile), earlierRootFile);
        QVERIFY(!QFile::exists(rootFile + "_"));
        // "&Yes" shows the update page at once.
        if (shownAtOnce)
            QTRY_COMPARE_WITH_TIMEOUT(w.browser.WebBrowser1->LocationURL(), w.browser.EditRootTo->text(),
                                      EngineWaitMs);
    }

    void bannerSettingsPictureAndStartPage() {
        WindowFixture fixture;
        const QString folder = fixture.folder();
        writeFile(folder + "/kept.png", "an earlier picture");
        const QByteArray general = "[General]\nAdID=77\nAdDefHTML=" + nginx.url("page.html").toUtf8() +
                                   "\nAdDefGif=" + nginx.url("pic.png").toUtf8() +
                                   "\nDefURL=" + nginx.url("page.html").toUtf8() + "\n[korvane2.4]\nAdID=x\n";
        qputenv("KORVANE_UPDATE_ROOT", serve(general).toUtf8());
        TFormMainWindow& w = fixture.start();
        QSignalSpy complete(w.browser.WebBrowser2, &TWebBrowser::DocumentComplete);
        bannerShown(w);

        // The version's own id is read last, and a text that is no number gives 468.
        QCOMPARE(w.banner.Advertisement1->SoftwareID, 468);
        QCOMPARE(readFile(folder + "/default1_.html"), QByteArray("<html><body>news</body></html>"));
        QCOMPARE(readFile(folder + "/pic.png"), readFile(nginx.root() + "/pic.png"));
        QCOMPARE(w.banner.Advertisement1->property("adimagePicture").toString(), folder + "/pic.png");
        QCOMPARE(w.banner.Advertisement1->property("adimagePage").toString(), folder + "/default1_.html");
        QCOMPARE(w.browser.EditBrowseTo->text(), nginx.url("page.html"));
        QVERIFY(complete.wait(EngineWaitMs));
        QCOMPARE(w.browser.WebBrowser2->LocationURL(), nginx.url("page.html"));

        // Once per run: a second notice fetches nothing.
        QFile::remove(folder + "/default1_.html");
        bannerShown(w);
        QVERIFY(!QFile::exists(folder + "/default1_.html"));
    }

    void picturesAreFetchedOnceAndOnlyUnderPlainNames() {
        WindowFixture kept;
        writeFile(kept.folder() + "/pic.png", "an earlier picture");
        qputenv("KORVANE_UPDATE_ROOT",
                serve("[General]\nAdDefGif=" + nginx.url("pic.png").toUtf8() + "\n").toUtf8());
        TFormMainWindow& w = kept.start();
        bannerShown(w);
        QCOMPARE(readFile(kept.folder() + "/pic.png"), QByteArray("an earlier picture"));
        QCOMPARE(w.banner.Advertisement1->property("adimagePicture").toString(), kept.folder() + "/pic.png");
        // No start page: the browser goes home, which loads nothing.
        QVERIFY(!w.browser.WebBrowser2->created());

        // A server naming the settings file as its picture gets nothing written.
        const QByteArray settings = "[defaults]\nEditInterval=\"10\"\n";
        WindowFixture hostile(settings);
        nginx.addFile("KV.ini", "[defaults]\nEditInterval=\"1\"\n");
        qputenv("KORVANE_UPDATE_ROOT",
                serve("[General]\nAdDefGif=" + nginx.url("KV.ini").toUtf8() + "\n").toUtf8());
        bannerShown(hostile.start());
        QCOMPARE(readFile(hostile.settingsPath()), settings);

        // A picture the server does not have leaves nothing behind, so the next run tries again.
        WindowFixture failed;
        qputenv("KORVANE_UPDATE_ROOT",
                serve("[General]\nAdDefGif=" + nginx.url("missing.png").toUtf8() + "\n").toUtf8());
        bannerShown(failed.start());
        QVERIFY(!QFile::exists(failed.folder() + "/missing.png"));
        QVERIFY(!QFile::exists(failed.folder() + "/missing.png_"));
    }

    // The packager's server speaks https, with a certificate of a private authority here.
    void rootFileOverHttps() {
        TestAuthority authority;
        QVERIFY2(authority.create(), qPrintable(authority.output()));
        authority.trustInThisProcess();
        const TestAuthority::Issued issued = authority.issue({"DNS:localhost"});
        NginxPeer secure;
        secure.addFile("root.txt", "[Updates]\nlast=korvane2.4\n[korvane2.4]\nHTMLvis=1\n");
        QVERIFY2(secure.startSecure(issued.certificate, issued.key), qPrintable(secure.output()));
        qputenv("KORVANE_UPDATE_ROOT", QString("https://localhost:%1/root.txt").arg(secure.port()).toUtf8());
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        bannerShown(w);
        QVERIFY(rootTabVisible(w));
        QCOMPARE(rootTabCaption(w), QString("FYI"));
    }

    // The check waits for a server that never answers as long as it takes; closing the window
    // ends the wait, and nothing is written.
    void closingEndsADownloadThatNeverEnds() {
        ScriptedPeer silent(
            QJsonObject{{"mode", "http"}, {"routes", QJsonObject{{"*", QJsonObject{{"silent", true}}}}}});
        QVERIFY(silent.start());
        qputenv("KORVANE_UPDATE_ROOT", silent.url("/root.txt").toUtf8());
        WindowFixture fixture;
        TFormMainWindow& w = fixture.start();
        w.NMHTTPback->OnConnect = [&](QObject*) { QTimer::singleShot(0, &w, [&] { w.close(); }); };
        bannerShown(w);
        QVERIFY(!w.isVisible());
        QVERIFY(!QFile::exists(fixture.folder() + "/KVr.ini"));
        QVERIFY(!QFile::exists(fixture.folder() + "/KVr.ini_"));
    }

    void pictureNames_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "http://a.example/ads/Banner_2.GIF"
                               << "Banner_2.GIF";
        QTest::newRow("backslash") << "http://a.example\\ads\\b.jpeg"
                                   << "b.jpeg";
        QTest::newRow("drive colon") << "c:logo.jpg"
                                     << "logo.jpg";
        QTest::newRow("the settings") << "http://a.example/KV.ini"
                                      << "";
        QTest::newRow("the root file") << "http://a.example/KVr.ini"
                                       << "";
        QTest::newRow("the program") << "http://a.example/korvane"
                                     << "";
        QTest::newRow("its libraries") << "http://a.example/adimage.so"
                                       << "";
        QTest::newRow("hidden") << "http://a.example/.png"
                                << "";
        QTest::newRow("double extension") << "http://a.example/x.png.sh"
                                          << "";
        QTest::newRow("query") << "http://a.example/x.png?v=2"
                               << "";
        QTest::newRow("folder up") << "http://a.example/..%2F..%2Fx.png"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("too long") << "http://a.example/" + QString(300, 'a') + ".png"
                                  << "";
    }

    void pictureNames() {
        QFETCH(QString, address);
        QTEST(PictureName::fromAddress(address), "name");
    }
};

KORVANE_TEST_MAIN(TestUpdateCheck)
#include "test_update_check.moc"
