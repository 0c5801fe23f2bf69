#include "views/TDrawGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {
// How far from a column's right edge a press still grabs the edge for resizing.
constexpr int kSizingSlack = 2;
constexpr int kDefaultColWidth = 64;
} // namespace

class TDrawGrid::TitleStrip : public QWidget {
public:
    explicit TitleStrip(TDrawGrid* grid) : QWidget(grid), grid_(grid) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // The grid's font may be underlined for its links; captions are no links.
        QFont plain = font();
        plain.setUnderline(false);
        painter.setFont(plain);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        painter.setPen(palette().color(QPalette::ButtonText));
        int x = -grid_->horizontalScrollBar()->value();
        for (int col = 0; col < grid_->colCount(); x += grid_->colWidth(col++))
            painter.drawText(QRect(x + 2, 0, grid_->colWidth(col) - 4, height()), Qt::AlignCenter,
                             grid_->titles_.value(col));
    }

private:
    TDrawGrid* grid_;
};

void TDrawGrid::setColumnTitles(const QStringList& titles) {
    titles_ = titles;
    if (!titleStrip_)
        titleStrip_ = new TitleStrip(this);
    // A screen reader reads the captions, as a sighted user sees them.
    QStringList named;
    std::copy_if(titles.cbegin(), titles.cend(), std::back_inserter(named),
                 [](const QString& t) { return !t.isEmpty(); });
    titleStrip_->setAccessibleName(named.join(QStringLiteral(", ")));
    titleStrip_->setVisible(!titles.isEmpty());
    placeTitles();
}

void TDrawGrid::placeTitles() {
    const int height = titleStrip_ && !titles_.isEmpty() ? rowHeight_ : 0;
    setViewportMargins(0, height, 0, 0);
    if (titleStrip_) {
        const QRect view = viewport()->geometry();
        titleStrip_->setGeometry(view.left(), view.top() - height, view.width(), height);
        titleStrip_->update();
    }
}

TDrawGrid::TDrawGrid(QWidget* parent) : QAbstractScrollArea(parent), colWidths_(5, kDefaultColWidth) {
    fontColor_ = palette().color(QPalette::Text);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

void TDrawGrid::setColCount(int count) {
    colWidths_.resize(std::max(0, count), kDefaultColWidth);
    col_ = std::clamp(col_, 0, std::max(0, colCount() - 1));
    anchorCol_ = std::clamp(anchorCol_, 0, std::max(0, colCount() - 1));
    updateScrollBars();
    viewport()->update();
}

void TDrawGrid::setRowCount(int count) {
    rowCount_ = std::max(0, count);
    // A shrinking grid pulls the current cell in without telling the owner: nobody chose that cell.
    row_ = std::clamp(row_, 0, std::max(0, rowCount_ - 1));
    anchorRow_ = std::clamp(anchorRow_, 0, std::max(0, rowCount_ - 1));
    updateScrollBars();
    viewport()->update();
}

int TDrawGrid::colWidth(int col) const {
    return col >= 0 && col < colCount() ? colWidths_[col] : 0;
}

void TDrawGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount())
        return;
    colWidths_[col] = std::max(0, width);
    updateScrollBars();
    viewport()->update();
}

void TDrawGrid::setDefaultRowHeight(int height) {
    rowHeight_ = std::max(1, height);
    placeTitles();
    verticalScrollBar()->setPageStep(std::max(1, fullyVisibleRows()));
    updateScrollBars();
    viewport()->update();
}

void TDrawGrid::setFontColor(const QColor& color) {
    fontColor_ = color;
    viewport()->update();
}

QRect TDrawGrid::selection() const {
    return QRect(QPoint(std::min(col_, anchorCol_), std::min(row_, anchorRow_)),
                 QPoint(std::max(col_, anchorCol_), std::max(row_, anchorRow_)));
}

void TDrawGrid::setCurrentCell(int col, int row) {
    moveCurrent(col, row, false);
}

int TDrawGrid::topRow() const {
    return verticalScrollBar()->value();
}

int TDrawGrid::columnLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col && c < colCount(); ++c)
        x += colWidths_[c];
    return x;
}

int TDrawGrid::totalWidth() const {
    return columnLeft(colCount());
}

int TDrawGrid::fullyVisibleRows() const {
    return viewport()->height() / rowPitch();
}

QRect TDrawGrid::cellRect(int col, int row) const {
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount_)
        return {};
    const int x = columnLeft(col) - horizontalScrollBar()->value();
    const int y = (row - topRow()) * rowPitch();
    return QRect(x, y, colWidths_[col], rowHeight_);
}

QPoint TDrawGrid::cellAt(const QPoint& pos) const {
    if (pos.y() < 0 || pos.x() < 0)
        return {-1, -1};
    const int row = topRow() + pos.y() / rowPitch();
    const int x = pos.x() + horizontalScrollBar()->value();
    int left = 0;
    for (int c = 0; c < colCount(); ++c) {
        if (x >= left && x < left + colWidths_[c])
            return row < rowCount_ ? QPoint(c, row) : QPoint(-1, -1);
        left += colWidths_[c];
    }
    return {-1, -1};
}

int TDrawGrid::sizingEdgeAt(int x) const {
    const int contentX = x + horizontalScrollBar()->value();
    int right = 0;
    for (int c = 0; c < colCount(); ++c) {
        right += colWidths_[c];
        if (std::abs(contentX - right) <= kSizingSlack)
            return c;
    }
    return -1;
}

void TDrawGrid::updateScrollBars() {
    const int visible = std::max(1, fullyVisibleRows());
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setRange(0, std::max(0, rowCount_ - visible));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    horizontalScrollBar()->setRange(0, std::max(0, totalWidth() - viewport()->width()));
}

void TDrawGrid::paintEvent(QPaintEvent* event) {
    // The captions follow the columns' widths and the sideways scroll.
    if (titleStrip_)
        titleStrip_->update();
    QPainter painter(viewport());
    const int width = std::min(viewport()->width(), totalWidth() - horizontalScrollBar()->value());
    const QColor lineColor = palette().color(QPalette::Mid);
    // Lines first: a cell may deliberately draw on the line under it.
    for (int row = topRow(), y = 0; row < rowCount_ && y < viewport()->height(); ++row, y += rowPitch())
        painter.fillRect(QRect(0, y + rowHeight_, width, kGridLineWidth), lineColor);
    for (int row = topRow(), y = 0; row < rowCount_ && y < viewport()->height(); ++row, y += rowPitch()) {
        for (int col = 0; col < colCount(); ++col) {
            const QRect rect = cellRect(col, row);
            if (rect.width() <= 0 || rect.right() < 0 || rect.left() >= viewport()->width())
                continue;
            if (event->region().intersects(rect.adjusted(0, 0, 0, kGridLineWidth)))
                drawCell(painter, col, row, rect);
        }
    }
}

void TDrawGrid::drawCell(QPainter& painter, int col, int row, const QRect& rect) {
    DrawState state = 0;
    if (selection().contains(col, row))
        state |= Selected;
    if (col == col_ && row == row_ && hasFocus())
        state |= Focused;
    const bool highlighted = (state & Selected) && !(state & Focused);
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(font());
    painter.setBrush(palette().brush(highlighted ? QPalette::Highlight : QPalette::Base));
    painter.setPen(highlighted ? palette().color(QPalette::HighlightedText) : fontColor_);
    if (OnDrawCell)
        OnDrawCell(col, row, rect, state, painter);
    else
        painter.fillRect(rect, painter.brush());
    painter.restore();
    if (state & Focused) {
        painter.save();
        painter.setClipRect(rect);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
}

void TDrawGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    placeTitles();
    updateScrollBars();
}

void TDrawGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void TDrawGrid::moveCurrent(int col, int row, bool extend, bool clicked) {
    if (colCount() == 0 || rowCount_ == 0)
        return;
    col = std::clamp(col, 0, colCount() - 1);
    row = std::clamp(row, 0, rowCount_ - 1);
    const bool changed = col != col_ || row != row_;
    col_ = col;
    row_ = row;
    if (!extend) {
        anchorCol_ = col;
        anchorRow_ = row;
    }
    scrollToCurrent();
    describeCurrent();
    viewport()->update();
    // A click on the current cell chooses it again; a key that cannot move further does not.
    if ((changed || clicked) && OnSelectCell)
        OnSelectCell(col, row);
}

QString TDrawGrid::cellHint(int col, int row) const {
    return OnCellHint && col >= 0 && row >= 0 && row < rowCount_ ? OnCellHint(col, row) : QString();
}

void TDrawGrid::describeCurrent() {
    const QString hint = cellHint(col_, row_);
    if (hint != accessibleDescription())
        setAccessibleDescription(hint);
}

bool TDrawGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint cell = cellAt(help->pos());
        const QString hint = cellHint(cell.x(), cell.y());
        if (!hint.isEmpty()) {
            // The tip belongs to the cell: it goes when the pointer leaves it.
            QToolTip::showText(help->globalPos(), hint, viewport(), cellRect(cell.x(), cell.y()));
            return true;
        }
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TDrawGrid::scrollToCurrent() {
    const int visible = std::max(1, fullyVisibleRows());
    if (row_ < topRow())
        verticalScrollBar()->setValue(row_);
    else if (row_ >= topRow() + visible)
        verticalScrollBar()->setValue(row_ - visible + 1);
    const int left = columnLeft(col_);
    const int right = left + colWidth(col_);
    auto* h = horizontalScrollBar();
    if (left < h->value())
        h->setValue(left);
    else if (right > h->value() + viewport()->width())
        h->setValue(std::min(left, right - viewport()->width()));
}

void TDrawGrid::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, fullyVisibleRows());
    switch (event->key()) {
    case Qt::Key_Up:
        moveCurrent(col_, row_ - 1, extend);
        break;
    case Qt::Key_Down:
        moveCurrent(col_, row_ + 1, extend);
        break;
    case Qt::Key_Left:
        moveCurrent(col_ - 1, row_, extend);
        break;
    case Qt::Key_Right:
        moveCurrent(col_ + 1, row_, extend);
        break;
    case Qt::Key_PageUp:
        moveCurrent(col_, row_ - page, extend);
        break;
    case Qt::Key_PageDown:
        moveCurrent(col_, row_ + page, extend);
        break;
    case Qt::Key_Home:
        moveCurrent(0, ctrl ? 0 : row_, extend);
        break;
    case Qt::Key_End:
        moveCurrent(colCount() - 1, ctrl ? rowCount_ - 1 : row_, extend);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TDrawGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    sizingCol_ = sizingEdgeAt(pos.x());
    if (sizingCol_ >= 0) {
        sizingStartX_ = pos.x();
        sizingStartWidth_ = colWidths_[sizingCol_];
        return;
    }
    const QPoint cell = cellAt(pos);
    if (cell.x() < 0)
        return;
    selecting_ = true;
    moveCurrent(cell.x(), cell.y(), event->modifiers() & Qt::ShiftModifier, true);
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (sizingCol_ >= 0) {
        setColWidth(sizingCol_, sizingStartWidth_ + pos.x() - sizingStartX_);
        return;
    }
    if (selecting_ && (event->buttons() & Qt::LeftButton)) {
        const QPoint cell = cellAt(pos);
        if (cell.x() >= 0)
            moveCurrent(cell.x(), cell.y(), true);
        return;
    }
    viewport()->setCursor(sizingEdgeAt(pos.x()) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        sizingCol_ = -1;
        selecting_ = false;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TDrawGrid::focusInEvent(QFocusEvent* event) {
    describeCurrent();
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TDrawGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
