#include "app/HistoryView.h"

#include "app/HistoryChart.h"
#include "history/HistoryExport.h"
#include "history/HistoryFile.h"
#include "history/HistorySchema.h"
#include "history/HistoryStore.h"
#include "notify/ActivityLog.h"
#include "notify/DialogService.h"
#include "pages/PageRecords.h"
#include "views/TDrawGrid.h"

#include <QComboBox>
#include <QDateTime>
#include <QPushButton>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QTabWidget>
#include <QTableWidget>

namespace {
constexpr qint64 RangeDays[] = {1, 7, 30, 365};

QString localTime(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The two largest units that fit: "2 d 3 h", "1 h 5 min", "3 min 20 s", "45 s".
QString length(qint64 ms) {
    const qint64 seconds = std::max<qint64>(0, ms / 1000);
    const std::pair<qint64, const char*> units[] = {{86400, "d"}, {3600, "h"}, {60, "min"}, {1, "s"}};
    for (int i = 0; i < 3; ++i) {
        const auto [size, name] = units[i];
        if (seconds >= size)
            return QStringLiteral("%1 %2 %3 %4")
                .arg(seconds / size)
                .arg(QLatin1String(name))
                .arg(seconds % size / units[i + 1].first)
                .arg(QLatin1String(units[i + 1].second));
    }
    return QStringLiteral("%1 s").arg(seconds);
}
} // namespace

HistoryView::HistoryView(const Controls& controls, PageRecords& pages, HistoryStore& store, ActivityLog& log,
                         DialogService& dialogs, QObject* parent)
    : QObject(parent), c_(controls), pages_(pages), store_(store), log_(log), dialogs_(dialogs),
      reader_(store.path()) {
    connect(c_.PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (c_.PageControl1->currentWidget() == c_.tab.TabSheetHistory)
            TabSheetHistoryShow();
    });
    connect(c_.tab.ComboHistoryPage, &QComboBox::activated, this, &HistoryView::refresh);
    for (QPushButton* range : c_.tab.ButtonsRange)
        connect(range, &QPushButton::toggled, this, [this](bool on) {
            if (on)
                refresh();
        });
    connect(c_.tab.ButtonExportHistory, &QPushButton::clicked, this, &HistoryView::ButtonExportHistoryClick);
    connect(&store_, &HistoryStore::uptimesChanged, this, [this] {
        if (c_.PageControl1->currentWidget() == c_.tab.TabSheetHistory)
            refresh();
    });
}

// The box lists the pages as they are now, and starts at the one selected in the grid.
void HistoryView::TabSheetHistoryShow() {
    QComboBox* box = c_.tab.ComboHistoryPage;
    const QString chosen = box->currentText();
    box->clear();
    for (int page = 0; page < pages_.pageCount(); ++page)
        box->addItem(withoutPassword(pages_.url(page)));
    const int gridRow = c_.DrawGrid1->row();
    box->setCurrentIndex(gridRow >= 0 && gridRow < box->count() ? gridRow
                                                                : std::max(0, box->findText(chosen)));
    refresh();
}

qint64 HistoryView::rangeMs() const {
    for (std::size_t i = 0; i < c_.tab.ButtonsRange.size(); ++i)
        if (c_.tab.ButtonsRange[i]->isChecked())
            return RangeDays[i] * HistorySchema::DayMs;
    return HistorySchema::DayMs;
}

void HistoryView::refresh() {
    // Opened on first need: a monitor whose history is never looked at holds no second connection.
    if (!readerOpen_ && store_.kept())
        readerOpen_ = reader_.open().isEmpty();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    HistorySeries series;
    series.fromMs = now - rangeMs();
    series.toMs = now;
    if (readerOpen_ && c_.tab.ComboHistoryPage->currentIndex() >= 0)
        series = readSeries(reader_.database(), c_.tab.ComboHistoryPage->currentText(), series.fromMs, now);
    c_.tab.ChartHistory->setSeries(std::move(series));
    fillOutages();
}

// Newest first, as the question is mostly what happened last.
void HistoryView::fillOutages() {
    const QList<HistorySeries::Span>& outages = c_.tab.ChartHistory->series().outages;
    QTableWidget* table = c_.tab.TableOutages;
    table->setRowCount(int(outages.size()));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int row = 0; row < outages.size(); ++row) {
        const HistorySeries::Span& outage = outages[outages.size() - 1 - row];
        const QString cells[] = {localTime(outage.startMs),
                                 outage.endMs ? localTime(*outage.endMs) : QStringLiteral("still down"),
                                 length(outage.endMs.value_or(now) - outage.startMs), outage.reason};
        for (int col = 0; col < 4; ++col)
            table->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
}

void HistoryView::ButtonExportHistoryClick() {
    const QString file = dialogs_.saveFileName(QStringLiteral("korvane-history.csv"),
                                               QStringLiteral("CSV files (*.csv)"), QStringLiteral("*.csv"));
    if (file.isEmpty())
        return;
    // What was handed to the writer is in the file before it is read.
    store_.flush();
    // A file is replaced only by a complete export.
    QSaveFile out(file);
    QString failure = out.open(QIODevice::WriteOnly) ? exportHistory(store_.path(), out) : out.errorString();
    if (failure.isEmpty() && !out.commit())
        failure = out.errorString();
    if (!failure.isEmpty()) {
        dialogs_.showError(QStringLiteral("Cannot export the history: ") + failure);
        return;
    }
    log_.AddLogLine(QStringLiteral("History exported to ") + file);
}
