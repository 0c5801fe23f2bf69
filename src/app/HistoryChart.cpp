#include "app/HistoryChart.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
const QColor Line(0, 102, 170);
const QColor Down(210, 0, 0);
const QColor DownBand(255, 200, 200);
const QColor Unmonitored(205, 205, 205);
constexpr int LeftMargin = 56;
constexpr int BottomMargin = 22;
constexpr int Padding = 8;

// A round top for the time axis, so its label reads well: 1, 2 or 5 times a power of ten.
qint64 roundTop(qint64 ms) {
    qint64 step = 1;
    while (step * 10 <= ms)
        step *= 10;
    for (const qint64 factor : {1, 2, 5, 10})
        if (factor * step >= ms)
            return factor * step;
    return ms;
}

QString timeLabel(qint64 ms, qint64 spanMs) {
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(ms);
    return time.toString(spanMs <= 24 * 3600000 ? QStringLiteral("HH:mm") : QStringLiteral("yyyy-MM-dd"));
}
} // namespace

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Response times"));
    setFocusPolicy(Qt::TabFocus);
    setMinimumHeight(120);
}

void HistoryChart::setSeries(HistorySeries series) {
    series_ = std::move(series);
    setAccessibleDescription(summary());
    update();
}

QString HistoryChart::summary() const {
    if (series_.points.isEmpty())
        return QStringLiteral("No checks in this range");
    qint64 total = 0;
    for (const HistorySeries::Point& point : series_.points)
        total += point.ms;
    return QStringLiteral("%1 points, average %2 ms, %3 outages")
        .arg(series_.points.size())
        .arg(total / series_.points.size())
        .arg(series_.outages.size());
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRect plot = rect().adjusted(LeftMargin, Padding, -Padding, -BottomMargin);
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    const qint64 span = std::max<qint64>(1, series_.toMs - series_.fromMs);
    const auto x = [&](qint64 ms) { return plot.left() + double(ms - series_.fromMs) * plot.width() / double(span); };
    const auto band = [&](const HistorySeries::Span& s, const QColor& colour) {
        const double left = std::max<double>(plot.left(), x(s.startMs));
        const double right = std::min<double>(plot.right(), x(s.endMs.value_or(series_.toMs)));
        painter.fillRect(QRectF(left, plot.top(), std::max(1.0, right - left), plot.height()), colour);
    };
    for (const HistorySeries::Span& gap : series_.notMonitored)
        band(gap, Unmonitored);
    for (const HistorySeries::Span& outage : series_.outages)
        band(outage, DownBand);

    qint64 highest = 1;
    for (const HistorySeries::Point& point : series_.points)
        highest = std::max(highest, point.ms);
    const qint64 top = roundTop(highest);
    const auto y = [&](qint64 ms) { return plot.bottom() - double(ms) * plot.height() / double(top); };

    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(plot);
    painter.setPen(Qt::black);
    const QRect leftLabels(0, plot.top() - Padding, LeftMargin - 4, plot.height() + 2 * Padding);
    painter.drawText(leftLabels, Qt::AlignRight | Qt::AlignTop, QStringLiteral("%1 ms").arg(top));
    painter.drawText(leftLabels, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("0 ms"));
    const QRect bottomLabels(plot.left(), plot.bottom() + 2, plot.width(), BottomMargin - 2);
    painter.drawText(bottomLabels, Qt::AlignLeft | Qt::AlignVCenter, timeLabel(series_.fromMs, span));
    painter.drawText(bottomLabels, Qt::AlignRight | Qt::AlignVCenter, timeLabel(series_.toMs, span));
    if (series_.points.isEmpty()) {
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No checks in this range"));
        return;
    }

    painter.setRenderHint(QPainter::Antialiasing);
    // The line breaks where the page was down, so an outage never looks like a fast answer.
    QPainterPath line;
    bool drawing = false;
    for (const HistorySeries::Point& point : series_.points) {
        const QPointF at(x(point.timeMs), y(point.ms));
        if (!point.up) {
            drawing = false;
            continue;
        }
        if (drawing)
            line.lineTo(at);
        else
            line.moveTo(at);
        drawing = true;
    }
    painter.setPen(QPen(Line, 1.5));
    painter.drawPath(line);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Down);
    for (const HistorySeries::Point& point : series_.points)
        if (!point.up)
            painter.drawEllipse(QPointF(x(point.timeMs), plot.bottom() - 3), 3, 3);
}
