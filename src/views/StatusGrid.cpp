#include "views/StatusGrid.h"

#include "net/Probe.h"
#include "views/StatusPictures.h"
#include "views/TImageList.h"

#include <QFontDatabase>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kColUrl = 2;
constexpr int kColPicture = 1;
constexpr int kColChart = 3;
constexpr int kColUpDay = 4;
constexpr int kColUpMonth = 5;
const QColor kChartBackground(255, 255, 255);
const QColor kFastBar(0, 128, 0);
const QColor kSlowBar(255, 255, 0);
const QColor kTimeOutBar(255, 0, 0);
const QColor kBarOutline(0, 128, 128);
const QColor kLinkColor(0, 0, 255);
// Behind the status picture of a page in maintenance, with the wrench over the picture: the real
// status stays in sight.
const QColor kMaintenanceTint(214, 226, 255);
} // namespace

QFont StatusGrid::gridFont() {
    QFont font;
    // The old Windows face rarely exists here; the desktop's sans face keeps the same look.
    if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")))
        font.setFamily(QStringLiteral("MS Sans Serif"));
    else
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixelHeight);
    font.setUnderline(true);
    return font;
}

void StatusGrid::configure(TDrawGrid* grid) {
    grid->setColCount(kColumnCount);
    const int widths[kColumnCount] = {9, 16, 339, 148, 64, 64};
    for (int col = 0; col < kColumnCount; ++col)
        grid->setColWidth(col, widths[col]);
    grid->setColumnTitles({{}, {}, {}, {}, QStringLiteral("Up 24 h"), QStringLiteral("Up 30 d")});
    grid->setDefaultRowHeight(kRowHeight);
    grid->setRowCount(0);
    grid->setFont(gridFont());
    grid->setFontColor(kLinkColor);
    grid->setToolTip(
        QStringLiteral("Current status of web documents, click on link to browse to the document."));
}

StatusGrid::StatusGrid(TDrawGrid* grid, StatusGridSource source, const TImageList* statusImages)
    : grid_(grid), source_(std::move(source)), images_(statusImages) {
    grid->OnDrawCell = [this](int col, int row, const QRect& rect, TDrawGrid::DrawState state,
                              QPainter& canvas) { DrawGrid1DrawCell(col, row, rect, state, canvas); };
    grid->OnSelectCell = [this](int col, int row) { DrawGrid1SelectCell(col, row); };
    grid->OnCellHint = [this](int col, int row) { return DrawGrid1CellHint(col, row); };
}

StatusGrid::~StatusGrid() {
    if (grid_) {
        grid_->OnDrawCell = nullptr;
        grid_->OnSelectCell = nullptr;
        grid_->OnCellHint = nullptr;
    }
}

void StatusGrid::DrawGrid1DrawCell(int col, int row, const QRect& rect, TDrawGrid::DrawState state,
                                   QPainter& canvas) {
    // Rows past the last page (a page was just deleted) stay as they are until the next show.
    if (row > source_.pageCount() - 1)
        return;
    canvas.fillRect(rect, canvas.brush());
    if (col == kColPicture) {
        drawPicture(rect, row, (state & TDrawGrid::Selected) && !(state & TDrawGrid::Focused), canvas);
    } else if (col == kColUrl) {
        const QString url = source_.pageUrl(row);
        // Only a web page opens in the browser: any other address is shown greyed, not as a link.
        const bool link = opensInBrowser(url);
        canvas.save();
        if (!link) {
            QFont plain = canvas.font();
            plain.setUnderline(false);
            canvas.setFont(plain);
            canvas.setPen(Qt::gray);
        }
        canvas.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, url);
        canvas.restore();
    } else if (col == kColChart) {
        drawChart(rect, row, canvas);
    } else if (col == kColUpDay || col == kColUpMonth) {
        drawUptime(rect, row, col == kColUpDay ? 1 : 30, state & TDrawGrid::Selected, canvas);
    }
}

bool StatusGrid::opensInBrowser(const QString& url) {
    return !Probe::handles(url);
}

bool StatusGrid::inMaintenance(int page) const {
    return source_.pageHeld && source_.pageHeld(page) == QLatin1String("maintenance");
}

void StatusGrid::drawPicture(const QRect& rect, int page, bool highlighted, QPainter& canvas) const {
    const bool maintenance = inMaintenance(page);
    if (maintenance && !highlighted)
        canvas.fillRect(rect, kMaintenanceTint);
    if (!images_)
        return;
    images_->draw(canvas, rect.left(), rect.top(), source_.pageStatus(page), true);
    if (maintenance)
        images_->draw(canvas, rect.left(), rect.top(), StatusPictures::MaintenanceMark, true);
}

QString StatusGrid::DrawGrid1CellHint(int col, int row) const {
    if ((col != kColPicture && col != kColUrl) || row >= source_.pageCount() || !inMaintenance(row))
        return {};
    return QStringLiteral("in maintenance");
}

QString StatusGrid::uptimeText(std::optional<double> percent) {
    // Rounded down: a page that failed once in a thousand checks is not shown as always up.
    return percent ? QString::number(std::floor(*percent * 10) / 10, 'f', 1) + QLatin1Char('%')
                   : QStringLiteral("\u2014");
}

void StatusGrid::drawUptime(const QRect& rect, int page, int days, bool selected, QPainter& canvas) const {
    const QString text = uptimeText(source_.uptime ? source_.uptime(page, days) : std::nullopt);
    QFont plain = canvas.font();
    plain.setUnderline(false);
    canvas.save();
    canvas.setFont(plain);
    // Figures, not links: in the text colour, unless the selection's colours are in use.
    if (!selected)
        canvas.setPen(Qt::black);
    canvas.drawText(rect.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, text);
    canvas.restore();
}

// The chart's numbers treat the cell as a Windows rectangle: Right and Bottom are the first
// column and row outside it, a fill stops before its right and bottom edge, and a polyline stops
// before its last point. So the baseline of every bar lies on the grid line under the row (the
// chart claims that line for itself), a bar of h seconds shows h pixels of colour under a teal top
// edge, and a capped bar fills the cell's full height with its top edge just above the cell.
void StatusGrid::drawChart(const QRect& rect, int page, QPainter& canvas) const {
    const int slow = source_.slowSeconds();
    const int timeOut = source_.timeOutSeconds();
    const StatusGridSource::History history = source_.accessHistory(page);
    const int rowHeight = grid_ ? grid_->defaultRowHeight() : kRowHeight;
    const int lineWidth = grid_ ? grid_->gridLineWidth() : TDrawGrid::kGridLineWidth;

    canvas.save();
    // The column is narrower than the 175-pixel chart: the oldest bars are cut at the column's
    // left edge rather than drawn over the address.
    canvas.setClipRect(rect.adjusted(0, 0, 0, lineWidth));
    canvas.fillRect(rect, kChartBackground);
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();
    canvas.setPen(QPen(kBarOutline, 0));
    canvas.setRenderHint(QPainter::Antialiasing, false);
    for (int n = StatusGridSource::kHistoryLength - 1; n >= 0; --n) {
        const int v = history[n];
        QColor colour = kFastBar;
        if (v > slow)
            colour = kSlowBar;
        if (v >= timeOut - 1)
            colour = kTimeOutBar;
        const int h = std::min(v, rowHeight);
        const int x = right - kBarWidth * n;
        const int top = bottom - h - 1;
        if (top < bottom)
            canvas.fillRect(QRect(QPoint(x - kBarWidth, top), QPoint(x - 1, bottom - 1)), colour);
        // Top edge from x leftwards, left edge downwards, bottom edge rightwards, each stopping
        // one pixel short of its end point.
        canvas.drawLine(QPoint(x, top), QPoint(x - kBarWidth + 1, top));
        if (top < bottom)
            canvas.drawLine(QPoint(x - kBarWidth, top), QPoint(x - kBarWidth, bottom - 1));
        canvas.drawLine(QPoint(x - kBarWidth, bottom), QPoint(x - 1, bottom));
    }
    canvas.restore();
}

int StatusGrid::urlColumnWidth(int longest) {
    // Point size of the grid font, rounded as the font system does.
    const int points = (kFontPixelHeight * 72 + kDesignPixelsPerInch / 2) / kDesignPixelsPerInch;
    const int fontPixelsPerInch = kDesignPixelsPerInch;
    const int formPixelsPerInch = kDesignPixelsPerInch;
    return (points - 1) * longest * fontPixelsPerInch / formPixelsPerInch;
}

void StatusGrid::TabSheetStatusShow() {
    if (!grid_)
        return;
    const int pages = source_.pageCount();
    grid_->setRowCount(pages);
    int longest = kMinUrlColumnChars;
    for (int page = 0; page < pages; ++page)
        longest = std::max(longest, static_cast<int>(source_.pageUrl(page).size()));
    grid_->setColWidth(kColUrl, urlColumnWidth(longest));
}

void StatusGrid::DrawGrid1SelectCell(int, int row) {
    if (row < 0 || row >= source_.pageCount() || !opensInBrowser(source_.pageUrl(row)))
        return;
    if (OnOpenPage)
        OnOpenPage(row, source_.pageUrl(row));
}
