#pragma once

#include "history/HistorySeries.h"

#include <QWidget>

// Draws one page's response times over a stretch of time: a line through the times of the
// checks that succeeded, a red mark and a red band where the page was down, and grey where
// Korvane was not running.
class HistoryChart : public QWidget {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);

    void setSeries(HistorySeries series);
    const HistorySeries& series() const { return series_; }

    QSize sizeHint() const override { return {600, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The series in words, for a screen reader.
    QString summary() const;

    HistorySeries series_;
};
