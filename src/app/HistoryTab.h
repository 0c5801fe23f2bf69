#pragma once

#include <array>

class ComponentList;
class HistoryChart;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

// The "History" tab: one page's response times and outages over a day, a week, a month or a
// year, and the export of the whole history.
struct HistoryTab {
    QWidget* TabSheetHistory;
    QComboBox* ComboHistoryPage;
    // "24 h", "7 d", "30 d" and "1 y", one checked at a time.
    std::array<QPushButton*, 4> ButtonsRange;
    HistoryChart* ChartHistory;
    QTableWidget* TableOutages;
    QPushButton* ButtonExportHistory;
    // What the tab is doing or why it shows nothing: "Loading…", "Exporting…", or why the history
    // cannot be read; empty when the chart and outages are up to date.
    QLabel* LabelHistoryState;

    static HistoryTab build(ComponentList& components);
};
