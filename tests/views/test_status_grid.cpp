// The Status tab's grid drawn to an image: pictures, addresses, the access-time chart, rows past
// the last page, the address column's width and selection opening a page.
#include "views/StatusGrid.h"
#include "views/StatusPictures.h"
#include "views/TImageList.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QToolTip>

#include <memory>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kTeal(0, 128, 128);

StatusGridSource::History noSamples() {
    StatusGridSource::History h;
    h.fill(-1);
    return h;
}

struct Fixture {
    QStringList urls{"http://a.example/", "http://b.example/index.html"};
    QList<int> statuses{3, 5};
    QList<StatusGridSource::History> histories{noSamples(), noSamples()};
    QStringList held{"", ""};
    int slow = 5;
    int timeOut = 20;
    int pages = 2;
    QList<std::pair<int, QString>> opened;

    TDrawGrid grid;
    std::unique_ptr<TImageList> images{StatusPictures::create()};
    std::unique_ptr<StatusGrid> status;

    Fixture() {
        StatusGrid::configure(&grid);
        StatusGridSource source;
        source.pageCount = [this] { return pages; };
        source.pageStatus = [this](int i) { return statuses[i]; };
        source.pageUrl = [this](int i) { return urls[i]; };
        source.pageHeld = [this](int i) { return held[i]; };
        source.accessHistory = [this](int i) { return histories[i]; };
        source.slowSeconds = [this] { return slow; };
        source.timeOutSeconds = [this] { return timeOut; };
        status = std::make_unique<StatusGrid>(&grid, source, images.get());
        status->OnOpenPage = [this](int page, const QString& url) { opened.append({page, url}); };
        status->TabSheetStatusShow();
        grid.resize(720, 120);
        grid.show();
        if (!QTest::qWaitForWindowExposed(&grid))
            qFatal("grid not exposed");
    }
    QImage image() { return grid.viewport()->grab().toImage(); }
};

QColor at(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// Checks one bar of the chart in row `row` at position n (0 newest, at the right edge) against
// sample v: h pixels of colour over the baseline, a teal edge above them, white above that.
void checkBar(const QImage& image, const QRect& cell, int n, int v, const QColor& colour) {
    const int right = cell.left() + cell.width();
    const int bottom = cell.top() + cell.height();
    const int h = std::min(v, 20);
    const int x = right - 5 * n;
    const int probe = x - 3;
    QCOMPARE(at(image, probe, bottom), kTeal); // the baseline, on the row's grid line
    for (int y = cell.top(); y < bottom; ++y) {
        const QColor expected = y >= bottom - h ? colour : (y == bottom - h - 1 ? kTeal : kWhite);
        if (at(image, probe, y) != expected)
            QFAIL(qPrintable(QString("bar %1 (sample %2): pixel at row %3 of the cell is %4, expected %5")
                                 .arg(n)
                                 .arg(v)
                                 .arg(y - cell.top())
                                 .arg(at(image, probe, y).name(), expected.name())));
    }
    if (h >= 1) {
        // Left edge teal, and the colour spans the bar's four inner columns.
        QCOMPARE(at(image, x - 5, bottom - 1), kTeal);
        QCOMPARE(at(image, x - 4, bottom - 1), colour);
        QCOMPARE(at(image, x - 1, bottom - 1), colour);
    }
}

} // namespace

class TestStatusGrid : public QObject {
    Q_OBJECT
private slots:
    void chartBarsStandAtTheirPlaceWithTheirColour() {
        Fixture f;
        const QList<int> samples{30, 19, 6, 5, 0, -1, 18, 1, 20};
        for (int n = 0; n < samples.size(); ++n)
            f.histories[1][n] = samples[n];
        const QImage image = f.image();
        const QRect cell = f.grid.cellRect(3, 1);
        QCOMPARE(cell.height(), 20);
        checkBar(image, cell, 0, 30, kRed);
        checkBar(image, cell, 1, 19, kRed);
        checkBar(image, cell, 2, 6, kYellow);
        checkBar(image, cell, 3, 5, kGreen);
        checkBar(image, cell, 4, 0, kGreen);
        checkBar(image, cell, 5, -1, kGreen);
        checkBar(image, cell, 6, 18, kYellow);
        checkBar(image, cell, 7, 1, kGreen);
        checkBar(image, cell, 8, 20, kRed);
        // Capped: a 30-second bar looks exactly like a 20-second one.
        const int right = cell.left() + cell.width();
        for (int y = cell.top(); y <= cell.bottom() + 1; ++y)
            QCOMPARE(at(image, right - 3, y), at(image, right - 5 * 8 - 3, y));
        // A page without samples: white with only the flat teal baseline.
        const QRect empty = f.grid.cellRect(3, 0);
        for (int n = 0; n < 29; ++n)
            checkBar(image, empty, n, -1, kGreen);
    }

    void thresholdsComeFromTheSettings() {
        Fixture f;
        const QList<int> samples{2, 3, 8, 9};
        for (int n = 0; n < samples.size(); ++n)
            f.histories[0][n] = samples[n];
        f.slow = 2;
        f.timeOut = 10;
        QImage image = f.image();
        QRect cell = f.grid.cellRect(3, 0);
        checkBar(image, cell, 0, 2, kGreen);
        checkBar(image, cell, 1, 3, kYellow);
        checkBar(image, cell, 2, 8, kYellow);
        checkBar(image, cell, 3, 9, kRed);

        f.histories[0][0] = 5;
        f.histories[0][1] = 6;
        f.histories[0][2] = 18;
        f.histories[0][3] = 19;
        f.slow = 5;
        f.timeOut = 20;
        image = f.image();
        checkBar(image, cell, 0, 5, kGreen);
        checkBar(image, cell, 1, 6, kYellow);
        checkBar(image, cell, 2, 18, kYellow);
        checkBar(image, cell, 3, 19, kRed);
    }

    void theChartStaysInsideItsColumn() {
        Fixture f;
        f.histories[0].fill(20);
        f.urls[0] = "x";
        const QImage image = f.image();
        const QRect chart = f.grid.cellRect(3, 0);
        QCOMPARE(chart.width(), 148);
        QCOMPARE(at(image, chart.left(), chart.bottom()), kRed);
        const QRect url = f.grid.cellRect(2, 0);
        for (int x = url.right() - 40; x <= url.right(); ++x)
            for (int y = url.top(); y <= url.bottom(); ++y)
                QCOMPARE(at(image, x, y), f.grid.palette().color(QPalette::Base));
    }

    void picturesAndAddressesComeFromTheSourceAtPaintTime() {
        Fixture f;
        QImage image = f.image();
        const QRect picture = f.grid.cellRect(1, 1);
        const QImage red = f.images->pixmap(5).toImage();
        QCOMPARE(image.pixel(picture.left() + 7, picture.top() + 7), red.pixel(7, 7));
        // The excluded picture is empty: the cell keeps its background.
        f.statuses[1] = 1;
        image = f.image();
        for (int x = picture.left(); x <= picture.right(); ++x)
            QCOMPARE(image.pixel(x, picture.top() + 7), f.grid.palette().color(QPalette::Base).rgb());
        // Addresses are written in blue, underlined, in a 15-pixel font.
        QVERIFY(f.grid.font().underline());
        QCOMPARE(f.grid.font().pixelSize(), 15);
        const QRect url = f.grid.cellRect(2, 0);
        int blue = 0;
        for (int x = url.left(); x < url.left() + 60; ++x)
            for (int y = url.top(); y <= url.bottom(); ++y)
                blue += at(image, x, y) == QColor(0, 0, 255);
        QVERIFY(blue > 20);
        // The column 0 spacer is background only.
        QCOMPARE(image.pixel(f.grid.cellRect(0, 0).center()), f.grid.palette().color(QPalette::Base).rgb());
    }

    void uptimesAreRoundedDown_data() {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QString>("text");
        QTest::newRow("always up") << 100.0 << "100.0%";
        QTest::newRow("one failure in 2000") << 99.95 << "99.9%";
        QTest::newRow("a third") << 100.0 / 3 << "33.3%";
        QTest::newRow("never up") << 0.0 << "0.0%";
        QTest::newRow("no check") << -1.0 << "\u2014";
    }
    void uptimesAreRoundedDown() {
        QFETCH(double, percent);
        QFETCH(QString, text);
        QCOMPARE(StatusGrid::uptimeText(percent < 0 ? std::nullopt : std::optional(percent)), text);
    }

    void rowsPastTheLastPageAreLeftUnpainted() {
        Fixture f;
        f.grid.setCurrentCell(1, 1);
        f.opened.clear();
        f.grid.clearFocus();
        f.pages = 1; // page 1 deleted; the tab has not been shown since
        QCOMPARE(f.grid.rowCount(), 2);
        const QImage image = f.image();
        const QRgb background = f.grid.palette().color(QPalette::Base).rgb();
        for (int col = 0; col < 4; ++col) {
            const QRect cell = f.grid.cellRect(col, 1);
            for (int x = cell.left(); x <= cell.right(); x += 3)
                for (int y = cell.top(); y <= cell.bottom(); ++y)
                    QCOMPARE(image.pixel(x, y), background);
        }
        QCOMPARE(QColor(image.pixel(f.grid.cellRect(3, 0).center())), kWhite);
        f.status->TabSheetStatusShow();
        QCOMPARE(f.grid.rowCount(), 1);
    }

    void showingTheTabSizesTheAddressColumn() {
        Fixture f;
        QCOMPARE(f.grid.rowCount(), 2);
        QCOMPARE(f.grid.colWidth(2), 8 * f.urls[1].size());
        f.urls = QStringList{"a", "bb", "http://c/"};
        f.statuses.append(0);
        f.histories.append(noSamples());
        f.pages = 3;
        f.status->TabSheetStatusShow();
        QCOMPARE(f.grid.rowCount(), 3);
        QCOMPARE(f.grid.colWidth(2), 80);
        f.pages = 0;
        f.status->TabSheetStatusShow();
        QCOMPARE(f.grid.rowCount(), 0);
        QCOMPARE(f.grid.colWidth(2), 80);
        QCOMPARE(StatusGrid::urlColumnWidth(25), 200);
    }

    void selectingARowOpensItsPage() {
        Fixture f;
        f.grid.setFocus();
        QTRY_VERIFY(f.grid.hasFocus());
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QTest::keyClick(&f.grid, Qt::Key_Down); // last row already
        QTest::keyClick(&f.grid, Qt::Key_Right);
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.grid.cellRect(2, 0).center());
        const QList<std::pair<int, QString>> expected{{1, f.urls[1]}, {1, f.urls[1]}, {0, f.urls[0]}};
        QCOMPARE(f.opened, expected);
    }

    void pictureListsHoldTheirMeanings() {
        std::unique_ptr<TImageList> list{StatusPictures::create()};
        QCOMPARE(list->count(), 7);
        QCOMPARE(list->pixmap(0).size(), QSize(16, 16));
        const QImage excluded = list->pixmap(1).toImage();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                QCOMPARE(qAlpha(excluded.pixel(x, y)), 0);
        // The alarm squares and the tick carry their colour in the middle.
        const auto hue = [&](int index) { return QColor(list->pixmap(index).toImage().pixel(8, 8)).hue(); };
        QVERIFY(hue(3) > 90 && hue(3) < 150);
        QVERIFY(hue(4) > 45 && hue(4) < 65);
        QVERIFY(hue(5) >= 0 && (hue(5) < 10 || hue(5) > 350));
        // The maintenance mark leaves the status picture in sight but for its corner.
        const QImage mark = list->pixmap(StatusPictures::MaintenanceMark).toImage();
        QCOMPARE(qAlpha(mark.pixel(4, 4)), 0);
        QCOMPARE(qAlpha(mark.pixel(9, 10)), 255);
        QVERIFY(list->pixmap(7).isNull());
    }

    // The real status stays, with a tint and the mark over it; the page's cells say why.
    void aPageInMaintenanceIsMarked() {
        Fixture f;
        f.held[1] = "maintenance";
        f.held[0] = "paused";
        const QImage image = f.image();
        const QRect plain = f.grid.cellRect(1, 0);
        const QRect held = f.grid.cellRect(1, 1);
        QCOMPARE(image.pixel(held.left() + 5, held.top() + 5), f.images->pixmap(5).toImage().pixel(5, 5));
        QCOMPARE(image.pixel(held.left() + 9, held.top() + 10),
                 f.images->pixmap(StatusPictures::MaintenanceMark).toImage().pixel(9, 10));
        QCOMPARE(image.pixel(plain.topLeft()), f.grid.palette().color(QPalette::Base).rgb());
        QVERIFY(image.pixel(held.topLeft()) != image.pixel(plain.topLeft()));
        for (int col = 0; col < StatusGrid::kColumnCount; ++col) {
            QCOMPARE(f.grid.cellHint(col, 0), QString());
            QCOMPARE(f.grid.cellHint(col, 1), col == 1 || col == 2 ? "in maintenance" : "");
        }
        QHelpEvent help(QEvent::ToolTip, held.center(), f.grid.viewport()->mapToGlobal(held.center()));
        QApplication::sendEvent(f.grid.viewport(), &help);
        QCOMPARE(QToolTip::text(), "in maintenance");
        f.grid.setCurrentCell(2, 1);
        QCOMPARE(f.grid.accessibleDescription(), "in maintenance");
        f.grid.setCurrentCell(2, 0);
        QCOMPARE(f.grid.accessibleDescription(), QString());
    }
};

QTEST_MAIN(TestStatusGrid)
#include "test_status_grid.moc"
