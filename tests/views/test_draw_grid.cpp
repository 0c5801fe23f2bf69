// The owner-drawn grid: selection by keys and mouse, the states it prepares for each cell,
// column sizing and scrolling.
#include "views/TDrawGrid.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

namespace {

struct Fixture {
    TDrawGrid grid;
    QList<QPoint> selected;

    Fixture(int cols, int rows) {
        grid.setColCount(cols);
        grid.setRowCount(rows);
        grid.setDefaultRowHeight(20);
        for (int c = 0; c < cols; ++c)
            grid.setColWidth(c, 40 + 10 * c);
        grid.OnSelectCell = [this](int col, int row) { selected.append(QPoint(col, row)); };
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        QTRY_VERIFY(grid.hasFocus());
    }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, pos, grid.viewport()->mapToGlobal(pos), button, buttons, modifiers);
        QApplication::sendEvent(grid.viewport(), &event);
    }
    void click(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, pos, Qt::NoButton, Qt::LeftButton, modifiers);
    }
    QImage image() { return grid.viewport()->grab().toImage(); }
};

} // namespace

class TestDrawGrid : public QObject {
    Q_OBJECT
private slots:
    void everyChangeOfTheSelectedCellIsReported() {
        Fixture f(3, 5);
        QCOMPARE(QPoint(f.grid.col(), f.grid.row()), QPoint(0, 0));
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QTest::keyClick(&f.grid, Qt::Key_Right);
        QTest::keyClick(&f.grid, Qt::Key_Up);
        QTest::keyClick(&f.grid, Qt::Key_Up); // already at the top: nothing changes
        QTest::keyClick(&f.grid, Qt::Key_Left);
        QTest::keyClick(&f.grid, Qt::Key_Left); // already at the left
        QCOMPARE(f.selected, (QList<QPoint>{{0, 1}, {1, 1}, {1, 0}, {0, 0}}));

        f.selected.clear();
        f.click(f.grid.cellRect(2, 3).center());
        f.click(f.grid.cellRect(2, 3).center());                // the same cell again chooses it again
        f.click(QPoint(f.grid.cellRect(2, 4).right() + 50, 5)); // right of the last column
        QTest::keyClick(&f.grid, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(&f.grid, Qt::Key_Down); // already at the bottom
        QCOMPARE(f.selected, (QList<QPoint>{{2, 3}, {2, 3}, {2, 4}}));
        QCOMPARE(f.grid.selection(), QRect(2, 4, 1, 1));
    }

    void rangeSelectionHighlightsAllButTheFocusedCell() {
        Fixture f(3, 5);
        f.grid.setCurrentCell(0, 1);
        QTest::keyClick(&f.grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&f.grid, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(f.grid.selection(), QRect(QPoint(0, 1), QPoint(1, 2)));
        QCOMPARE(f.selected.last(), QPoint(1, 2));

        QList<std::tuple<int, int, QRect, TDrawGrid::DrawState>> drawn;
        f.grid.OnDrawCell = [&](int c, int r, const QRect& rect, TDrawGrid::DrawState state, QPainter& p) {
            drawn.append({c, r, rect, state});
            p.fillRect(rect, p.brush());
        };
        const QImage image = f.image();
        // Every visible cell is asked for exactly once, at its place.
        QCOMPARE(drawn.size(), 3 * 5);
        for (const auto& [c, r, rect, state] : drawn) {
            QCOMPARE(rect, f.grid.cellRect(c, r));
            QCOMPARE(rect.top(), r * 21);
            const bool inRange = c <= 1 && r >= 1 && r <= 2;
            const bool current = c == 1 && r == 2;
            QCOMPARE(bool(state & TDrawGrid::Selected), inRange);
            QCOMPARE(bool(state & TDrawGrid::Focused), current);
        }
        const QColor base = f.grid.palette().color(QPalette::Base);
        const QColor highlight = f.grid.palette().color(QPalette::Highlight);
        QCOMPARE(image.pixelColor(f.grid.cellRect(0, 1).center()), highlight);
        QCOMPARE(image.pixelColor(f.grid.cellRect(0, 2).center()), highlight);
        QCOMPARE(image.pixelColor(f.grid.cellRect(1, 2).center()), base);
        QCOMPARE(image.pixelColor(f.grid.cellRect(2, 2).center()), base);
        // The focus rectangle is drawn over the focused cell after the owner drew it.
        const QRect focused = f.grid.cellRect(1, 2);
        int marked = 0;
        for (int x = focused.left(); x <= focused.right(); ++x)
            marked += image.pixelColor(x, focused.top()) != base;
        QVERIFY(marked > focused.width() / 3);
        // Without focus the current cell is merely selected.
        f.grid.clearFocus();
        QTRY_VERIFY(!f.grid.hasFocus());
        QCOMPARE(f.image().pixelColor(focused.center()), highlight);
    }

    void theOwnerDrawsCellsAndLinesSeparateRows() {
        Fixture f(2, 3);
        f.grid.OnDrawCell = [](int, int, const QRect& rect, TDrawGrid::DrawState, QPainter& p) {
            p.fillRect(rect.adjusted(-5, -5, 5, 5), Qt::black); // the grid keeps it inside the cell
        };
        const QImage image = f.image();
        const QRect a = f.grid.cellRect(0, 0);
        QCOMPARE(image.pixelColor(a.bottomLeft()), QColor(Qt::black));
        QCOMPARE(image.pixel(a.left(), a.bottom() + 1), f.grid.palette().color(QPalette::Mid).rgb());
        QCOMPARE(image.pixelColor(a.left(), a.bottom() + 2), QColor(Qt::black));
        // Below the last row nothing is drawn.
        QCOMPARE(image.pixel(a.left(), 3 * 21 + 3), f.grid.palette().color(QPalette::Base).rgb());
    }

    void columnsResizeByDraggingTheirRightEdge() {
        Fixture f(3, 2);
        const int edge = f.grid.cellRect(0, 0).right() + 1;
        const int before = f.grid.colWidth(0);
        f.selected.clear();
        f.mouse(QEvent::MouseButtonPress, QPoint(edge, 5), Qt::LeftButton, Qt::LeftButton);
        f.mouse(QEvent::MouseMove, QPoint(edge + 30, 5), Qt::LeftButton, Qt::NoButton);
        f.mouse(QEvent::MouseButtonRelease, QPoint(edge + 30, 5), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.grid.colWidth(0), before + 30);
        QCOMPARE(f.grid.cellRect(1, 0).left(), before + 30);
        QVERIFY(f.selected.isEmpty());
    }

    void theViewFollowsTheThumbAndTheCurrentRow() {
        Fixture f(2, 50);
        QList<int> rows;
        f.grid.OnDrawCell = [&](int c, int r, const QRect&, TDrawGrid::DrawState, QPainter&) {
            if (c == 0)
                rows.append(r);
        };
        QVERIFY(f.grid.verticalScrollBar()->hasTracking());
        f.grid.verticalScrollBar()->setValue(10);
        QCOMPARE(f.grid.topRow(), 10);
        f.image();
        QCOMPARE(rows.first(), 10);
        QCOMPARE(f.grid.cellRect(0, 10).top(), 0);

        f.grid.setCurrentCell(0, 10);
        const int visible = f.grid.viewport()->height() / 21;
        for (int i = 0; i < visible; ++i)
            QTest::keyClick(&f.grid, Qt::Key_Down);
        QCOMPARE(f.grid.row(), 10 + visible);
        QVERIFY(f.grid.cellRect(0, f.grid.row()).bottom() < f.grid.viewport()->height());
        QCOMPARE(f.grid.topRow(), 11);
        // A shrinking grid pulls the current cell in without reporting a selection.
        f.selected.clear();
        f.grid.setRowCount(3);
        QCOMPARE(f.grid.row(), 2);
        QVERIFY(f.selected.isEmpty());
    }
};

QTEST_MAIN(TestDrawGrid)
#include "test_draw_grid.moc"
