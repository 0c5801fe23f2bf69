#include "app/HistoryView.h"

#include "app/HistoryChart.h"
#include "history/HistoryFile.h"
#include "history/HistorySchema.h"
#include "history/HistoryStore.h"
#include "notify/ActivityLog.h"
#include "notify/DialogService.h"
#include "pages/PageRecords.h"
#include "views/TDrawGrid.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
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
      loader_(store.path()) {
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
    const auto refreshInView = [this] {
        if (c_.PageControl1->currentWidget() == c_.tab.TabSheetHistory)
            refresh();
    };
    connect(&store_, &HistoryStore::uptimesChanged, this, refreshInView);
    connect(&store_, &HistoryStore::openFinished, this, refreshInView);
    connect(&loader_, &HistoryLoader::seriesRead, this,
            [this](int request, const HistorySeries& series, const QString& failure) {
                if (request == latestRead_)
                    show(series, failure);
            });
    connect(&loader_, &HistoryLoader::exported, this, &HistoryView::exported);
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
    // The file may not be there before the store has opened it; the tab reads once it has.
    if (store_.opening()) {
        reading_ = true;
        showState();
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!store_.kept() || c_.tab.ComboHistoryPage->currentIndex() < 0) {
        // No answer on its way is wanted any more.
        latestRead_ = 0;
        HistorySeries none;
        none.fromMs = now - rangeMs();
        none.toMs = now;
        show(none, {});
        return;
    }
    reading_ = true;
    latestRead_ = loader_.readSeries(c_.tab.ComboHistoryPage->currentText(), now - rangeMs(), now);
    showState();
}

// A series that could not be read shows nothing rather than half of it.
void HistoryView::show(HistorySeries series, const QString& failure) {
    reading_ = false;
    if (!failure.isEmpty()) {
        // Said once, not after every cycle while it lasts.
        if (readFailure_.isEmpty())
            log_.AddLogLine(QStringLiteral("Cannot read the history: ") + failure);
        series.points.clear();
        series.outages.clear();
        series.notMonitored.clear();
    }
    readFailure_ = failure;
    c_.tab.ChartHistory->setSeries(std::move(series));
    fillOutages();
    showState();
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
    ++exports_;
    showState();
    // What was handed to the writer is in the file before it is read.
    store_.whenWritten([this, file] { loader_.exportTo(file); });
}

void HistoryView::exported(const QString& file, const QString& failure) {
    --exports_;
    showState();
    if (!failure.isEmpty()) {
        dialogs_.showError(QStringLiteral("Cannot export the history: ") + failure);
        return;
    }
    log_.AddLogLine(QStringLiteral("History exported to ") + file);
}

void HistoryView::showState() {
    QString state;
    if (reading_)
        state = QStringLiteral("Loading\u2026");
    else if (!readFailure_.isEmpty())
        state = QStringLiteral("Cannot read the history: ") + readFailure_;
    else if (exports_ > 0)
        state = QStringLiteral("Exporting\u2026");
    c_.tab.LabelHistoryState->setText(state);
}
