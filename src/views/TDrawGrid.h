#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QStringList>

#include <functional>
#include <vector>

// An owner-drawn grid: it keeps only geometry and the selection, and asks its owner to draw every
// visible cell. Rows all have the default height; a horizontal line of one pixel follows each row.
// The user may select a range, resize columns by dragging their right edge, and scroll with the
// thumb (the view follows the thumb while it is dragged).
class TDrawGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum DrawStateFlag : unsigned { Selected = 0x1, Focused = 0x2 };
    using DrawState = unsigned;
    using DrawCellHandler =
        std::function<void(int col, int row, const QRect& rect, DrawState state, QPainter& canvas)>;
    using SelectCellHandler = std::function<void(int col, int row)>;
    using CellHintHandler = std::function<QString(int col, int row)>;

    static constexpr int kGridLineWidth = 1;

    explicit TDrawGrid(QWidget* parent = nullptr);

    int colCount() const { return static_cast<int>(colWidths_.size()); }
    void setColCount(int count);
    int rowCount() const { return rowCount_; }
    void setRowCount(int count);
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int defaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int height);
    int gridLineWidth() const { return kGridLineWidth; }
    // Captions over the columns, in a strip above the rows that scrolls with them sideways. An
    // empty list (the default) shows no strip.
    void setColumnTitles(const QStringList& titles);
    QStringList columnTitles() const { return titles_; }
    // Colour of the text pen prepared for cells drawn in the normal state.
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);

    // The current (focused) cell and the selected range, which always contains it.
    int col() const { return col_; }
    int row() const { return row_; }
    QRect selection() const;
    // Moves the current cell as the user would, so the select-cell hook hears of it.
    void setCurrentCell(int col, int row);

    int topRow() const;
    // A cell's rectangle in viewport coordinates, without the grid line under it.
    QRect cellRect(int col, int row) const;
    // The cell under a viewport position, or (-1, -1).
    QPoint cellAt(const QPoint& pos) const;

    // Called for every visible cell, with the painter clipped to the cell and its brush, pen and
    // font prepared for the cell's state. When unset, the grid fills the cell with that brush.
    DrawCellHandler OnDrawCell;
    // Called on every change of the current cell by the mouse or the keyboard.
    SelectCellHandler OnSelectCell;
    // What a cell says of itself beyond what it draws: its tool tip (empty: the grid's own), and
    // for the current cell the grid's accessible description, which a screen reader reads as the
    // focus moves from cell to cell.
    CellHintHandler OnCellHint;
    QString cellHint(int col, int row) const;

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int rowPitch() const { return rowHeight_ + kGridLineWidth; }
    int columnLeft(int col) const;
    int totalWidth() const;
    int fullyVisibleRows() const;
    // The column whose right edge lies under x (a few pixels either way), or -1.
    int sizingEdgeAt(int x) const;
    void drawCell(QPainter& painter, int col, int row, const QRect& rect);
    // clicked: the user clicked the cell, which chooses it even when it is the current one.
    void moveCurrent(int col, int row, bool extend, bool clicked = false);
    void scrollToCurrent();
    void describeCurrent();
    void updateScrollBars();

    class TitleStrip;
    void placeTitles();

    std::vector<int> colWidths_;
    QStringList titles_;
    QWidget* titleStrip_ = nullptr;
    int rowCount_ = 0;
    int rowHeight_ = 24;
    QColor fontColor_;
    int col_ = 0;
    int row_ = 0;
    int anchorCol_ = 0;
    int anchorRow_ = 0;
    int sizingCol_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    bool selecting_ = false;
};
