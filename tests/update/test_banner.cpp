// The banner control, alone and with the real banner library of the build folder.
#include "support/TestMain.h"
#include "update/TAdvertisement.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

// A shown top-level window holding a banner control; it counts the control's notices.
struct BannerWindow {
    QWidget window;
    TAdvertisement ad;
    QList<TAdvertisement*> changes;
    QList<TAdvertisement*> clicks;

    explicit BannerWindow(const QString& folder = QStringLiteral(KORVANE_ADIMAGE_DIR)) : ad(folder, &window) {
        window.resize(700, 100);
        ad.OnAdChange = [this](TAdvertisement* sender) { changes.append(sender); };
        ad.OnClickThrough = [this](TAdvertisement* sender) { clicks.append(sender); };
        window.show();
    }
    QWidget* banner() { return ad.findChild<QWidget*>(); }
};

} // namespace

class TestBanner : public QObject {
    Q_OBJECT
private slots:
    void requestedWidthPicksSizeAndSidebar_data() {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("sidebar");
        QTest::addColumn<int>("adSize");
        const auto row = [](int requested, int width, bool sidebar, TAdImageSize adSize) {
            QTest::addRow("%d", requested) << requested << width << sidebar << int(adSize);
        };
        row(100, 120, false, ad120x60);
        row(179, 120, false, ad120x60);
        row(180, 240, true, ad120x60);
        row(300, 240, true, ad120x60);
        row(323, 240, true, ad120x60);
        row(324, 468, false, ad468x60);
        row(500, 468, false, ad468x60);
        row(527, 468, false, ad468x60);
        row(528, 588, true, ad468x60);
        row(600, 588, true, ad468x60);
    }
    void requestedWidthPicksSizeAndSidebar() {
        QFETCH(int, requested);
        TAdvertisement ad({});
        ad.SetBounds(7, 9, requested, 80);
        QCOMPARE(ad.pos(), QPoint(7, 9));
        QCOMPARE(ad.height(), 60);
        QTEST(ad.width(), "width");
        QTEST(ad.Sidebar, "sidebar");
        QTEST(int(ad.AdSize), "adSize");
    }

    void newControlAndSizeSetters() {
        TAdvertisement ad({});
        QCOMPARE(ad.size(), QSize(588, 60));
        QVERIFY(ad.testAttribute(Qt::WA_OpaquePaintEvent) && !ad.autoFillBackground());
        QCOMPARE(ad.cursor().shape(), Qt::PointingHandCursor);
        ad.SetSize(ad120x60);
        QCOMPARE(ad.size(), QSize(240, 60));
        ad.SetSidebar(false);
        QCOMPARE(ad.size(), QSize(120, 60));
        ad.SetSize(ad468x60);
        QCOMPARE(ad.size(), QSize(468, 60));
    }

    void bothSizesStartNotifyOnceAndTakeClicks_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("468x60") << 468;
        QTest::newRow("120x60") << 120;
    }
    void bothSizesStartNotifyOnceAndTakeClicks() {
        QFETCH(int, width);
        BannerWindow w;
        w.ad.SetBounds(4, 4, width, 60);
        QVERIFY(w.ad.Execute());
        QTRY_COMPARE(w.changes, QList<TAdvertisement*>{&w.ad});
        QVERIFY(!w.ad.Execute());
        QVERIFY(w.banner()->isVisible());
        QCOMPARE(w.banner()->size(), QSize(width, 60));
        QCOMPARE(w.banner()->focusPolicy(), Qt::TabFocus);
        QCOMPARE(w.banner()->accessibleName(), QString("Sponsor banner"));
        QTest::mouseClick(w.banner(), Qt::LeftButton);
        QTest::keyClick(w.banner(), Qt::Key_Space);
        QTRY_COMPARE(w.clicks, QList<TAdvertisement*>({&w.ad, &w.ad}));
        // Both clicks were posted after a second display notice would have been.
        QCOMPARE(w.changes.size(), 1);
    }

    void libraryRefusesOtherSizeCodesAndNoWindow() {
        BannerWindow w;
        QCOMPARE(w.ad.InitializeWindow(&w.ad, 1, 0, 5, {}), quint16(0));
        QCOMPARE(w.ad.InitializeWindow(nullptr, 1, 0, AdImageSize468x60, {}), quint16(0));
        QCOMPARE(w.ad.InitializeWindow(&w.ad, 1, 0, AdImageSize468x60, adOfflineOnly), quint16(0xFFFF));
    }

    void sidebarBannerSitsInTheWindowBesideTheControl() {
        BannerWindow w;
        auto* panel = new QWidget(&w.window);
        panel->setGeometry(5, 6, 690, 90);
        w.ad.setParent(panel);
        w.ad.SetBounds(10, 20, 600, 60);
        QVERIFY(w.ad.Execute());
        auto* sidebar = w.window.findChild<TAdvertisement*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(sidebar);
        QCOMPARE(sidebar->geometry(), QRect(5 + 10 + 588 - 120, 6 + 20, 120, 60));
        QVERIFY(!sidebar->Sidebar && sidebar->AdSize == ad120x60 && sidebar->SoftwareID == w.ad.SoftwareID);
        QCOMPARE(w.ad.size(), QSize(468, 60));
        QVERIFY(w.ad.Sidebar && w.ad.AdSize == ad468x60);
        QTRY_COMPARE(w.changes.size(), 2);
        QVERIFY(w.changes.contains(&w.ad) && w.changes.contains(sidebar));
    }

    void bannerShowsPictureElsePageElseItsOwn_data() {
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QColor>("colour");
        QByteArray png;
        {
            QImage red(234, 30, QImage::Format_RGB32);
            red.fill(Qt::red);
            QBuffer buffer(&png);
            red.save(&buffer, "PNG");
        }
        const QByteArray green = "<body bgcolor='#00ff00'><p>a</p><p>b</p><p>c</p><p>d</p></body>";
        QTest::newRow("picture") << png << green << QColor(Qt::red);
        QTest::newRow("no picture in the file") << QByteArray("text") << green << QColor(Qt::green);
        QTest::newRow("neither") << QByteArray() << QByteArray() << QColor();
    }
    void bannerShowsPictureElsePageElseItsOwn() {
        QFETCH(QByteArray, picture);
        QFETCH(QByteArray, page);
        QFETCH(QColor, colour);
        QTemporaryDir dir;
        // An empty content leaves the file out.
        const auto write = [&dir](const char* name, const QByteArray& content) {
            QFile file(dir.filePath(name));
            if (!content.isEmpty() &&
                (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()))
                qFatal("cannot write %s", name);
            return file.fileName();
        };
        BannerWindow w;
        w.ad.SetBounds(0, 0, 468, 60);
        QVERIFY(w.ad.Execute());
        w.ad.setBannerFiles(write("ad.png", picture), write("ad.html", page));
        const QImage shown = w.banner()->grab().toImage();
        QCOMPARE(shown.pixelColor(458, 8),
                 colour.isValid() ? colour : w.banner()->palette().highlight().color());
    }

    void withoutTheLibraryNothingStartsAndNoticesAreSwallowed_data() {
        QTest::addColumn<QByteArray>("library");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("broken") << QByteArray("not a library at all");
    }

    void withoutTheLibraryNothingStartsAndNoticesAreSwallowed() {
        QFETCH(QByteArray, library);
        QTemporaryDir empty;
        if (!library.isEmpty()) {
            QFile file(empty.filePath("adimage.so"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(library) == library.size());
        }
        BannerWindow w(empty.path());
        QVERIFY(!w.ad.Execute());
        QVERIFY(!w.ad.Execute());
        // The sidebar is made once, and it stays idle too.
        QCOMPARE(w.window.findChildren<TAdvertisement*>().size(), 2);
        QCoreApplication::sendPostedEvents();
        QVERIFY(w.changes.isEmpty() && !w.banner());

        TAdvertisement bare({});
        QEvent display(QEvent::Type(TAdvertisement::WM_ADDISPLAY));
        QEvent click(QEvent::Type(TAdvertisement::WM_ADCLICK));
        QVERIFY(QCoreApplication::sendEvent(&bare, &display) && QCoreApplication::sendEvent(&bare, &click));
    }
};

KORVANE_TEST_MAIN(TestBanner)
#include "test_banner.moc"
