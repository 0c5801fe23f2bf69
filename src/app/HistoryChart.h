#pragma once

#include "history/HistorySeries.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

// The labels of a time axis.
struct AxisTicks {
    QList<QDateTime> times; // in local time
    QString format;         // of each label, for QDateTime::toString
};

// Where an axis width pixels wide from from to to is labelled: at whole minutes or hours, at
// midnights or on the first of a month (local time), as close together as labels leave room for
// when a digit is digitWidth pixels wide.
AxisTicks axisTicks(const QDateTime& from, const QDateTime& to, int width, int digitWidth);

// Draws one page's response times over a stretch of time: a line through the times of the
// checks that succeeded, a red mark and a red band where the page was down, lavender where it was
// in a maintenance window, and grey where Korvane was not running.
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
