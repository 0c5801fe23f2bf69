#pragma once

#include "views/StatusGridSource.h"
#include "views/TDrawGrid.h"

#include <QPointer>

class TImageList;

// The Status tab's grid: one row per page with its status picture, its address as a link, a
// chart of its last 35 access times and its uptime over the last day and month. The grid keeps no data; every
// cell is drawn from the source.
class StatusGrid {
public:
    static constexpr int kColumnCount = 6;
    static constexpr int kRowHeight = 20;
    static constexpr int kMinUrlColumnChars = 10;
    static constexpr int kBarWidth = 5;
    // The grid font is designed at this resolution, and the form with it.
    static constexpr int kDesignPixelsPerInch = 120;
    static constexpr int kFontPixelHeight = 15;

    // Gives the grid its design-time geometry, font and hint.
    static void configure(TDrawGrid* grid);
    static QFont gridFont();

    // Takes over the grid's draw and select hooks for as long as this object lives.
    StatusGrid(TDrawGrid* grid, StatusGridSource source, const TImageList* statusImages);
    ~StatusGrid();
    StatusGrid(const StatusGrid&) = delete;
    StatusGrid& operator=(const StatusGrid&) = delete;

    // Told the row and address of the page the user selected, to open it in the browser.
    std::function<void(int page, const QString& url)> OnOpenPage;

    void DrawGrid1DrawCell(int col, int row, const QRect& rect, TDrawGrid::DrawState state, QPainter& canvas);
    // Row count and address column width, for when the tab comes into view.
    void TabSheetStatusShow();
    void DrawGrid1SelectCell(int col, int row);

    // A page in maintenance says so over its status picture and address.
    QString DrawGrid1CellHint(int col, int row) const;

    // An uptime as the grid shows it: a percentage with one decimal, or a dash without checks.
    static QString uptimeText(std::optional<double> percent);

    // Width of the address column for addresses of up to longest characters.
    static int urlColumnWidth(int longest);

private:
    // A web page's address, which the browser tab can open; a DNS name or a port is none.
    static bool opensInBrowser(const QString& url);
    bool inMaintenance(int page) const;
    void drawPicture(const QRect& rect, int page, bool highlighted, QPainter& canvas) const;
    void drawChart(const QRect& rect, int page, QPainter& canvas) const;
    void drawUptime(const QRect& rect, int page, int days, bool selected, QPainter& canvas) const;

    QPointer<TDrawGrid> grid_;
    StatusGridSource source_;
    const TImageList* images_;
};
