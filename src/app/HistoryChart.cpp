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
// Lavender: apart from the red of an outage, the yellow of a slow or changed page and the grey of
// not running, and light enough that the line and the red marks stay readable on it.
const QColor Maintenance(215, 200, 240);
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

constexpr qint64 MinuteMs = 60000;
constexpr qint64 HourMs = 60 * MinuteMs;
constexpr qint64 DayMs = 24 * HourMs;
// The average month of the Gregorian calendar.
constexpr qint64 MonthMs = 2629746000;

struct Step {
    qint64 ms;      // on the wall clock; for months their average length
    int months = 0; // 0: a step of ms
};
// Finest first.
constexpr Step Steps[] = {
    {MinuteMs},       {5 * MinuteMs},   {10 * MinuteMs},  {15 * MinuteMs}, {30 * MinuteMs}, {HourMs},
    {2 * HourMs},     {3 * HourMs},     {4 * HourMs},     {6 * HourMs},    {12 * HourMs},   {DayMs},
    {2 * DayMs},      {3 * DayMs},      {4 * DayMs},      {7 * DayMs},     {14 * DayMs},    {MonthMs, 1},
    {2 * MonthMs, 2}, {3 * MonthMs, 3}, {6 * MonthMs, 6},
};

QLatin1String formatOf(const Step& step) {
    if (step.months > 0)
        return QLatin1String("MMM");
    return QLatin1String(step.ms < DayMs ? "HH:mm" : "dd.MM");
}

// Steps of days are counted from a Monday (1970-01-05), so that weeks begin on one.
constexpr qint64 FirstMonday = 4 * DayMs;

// The local time on the wall clock as if it were UTC: whole hours and midnights are then
// multiples of their length.
qint64 wallMs(const QDateTime& local) {
    return local.toMSecsSinceEpoch() + local.offsetFromUtc() * qint64(1000);
}

QDateTime fromWall(qint64 ms) {
    const QDateTime wall = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    return QDateTime(wall.date(), wall.time());
}
} // namespace

AxisTicks axisTicks(const QDateTime& from, const QDateTime& to, int width, int digitWidth) {
    const qint64 span = from.msecsTo(to);
    // A label and a gap of two digits fit between two ticks.
    const Step& step = *std::find_if(std::begin(Steps), std::end(Steps) - 1, [&](const Step& s) {
        const int room = int(formatOf(s).size() + 2) * digitWidth;
        return span <= width / room * s.ms;
    });
    AxisTicks ticks{{}, formatOf(step)};
    const QDateTime start = from.toLocalTime();
    if (step.months > 0) {
        for (QDate month(start.date().year(), start.date().month(), 1); month.startOfDay() <= to;
             month = month.addMonths(1))
            if ((month.month() - 1) % step.months == 0 && month.startOfDay() >= from)
                ticks.times.append(month.startOfDay());
        return ticks;
    }
    const qint64 end = wallMs(to.toLocalTime());
    for (qint64 at = FirstMonday + (wallMs(start) - FirstMonday + step.ms - 1) / step.ms * step.ms; at <= end;
         at += step.ms)
        // A time the clock skips as summer time begins is left out.
        if (const QDateTime tick = fromWall(at); tick.isValid())
            ticks.times.append(tick);
    return ticks;
}

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

// The stretch comes first: a history younger than the range shows less than the range.
QString HistoryChart::summary() const {
    const auto time = [](qint64 ms) {
        return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    };
    const QString stretch = QStringLiteral("From %1 to %2: ").arg(time(series_.fromMs), time(series_.toMs));
    if (series_.points.isEmpty())
        return stretch + QStringLiteral("no checks");
    qint64 total = 0;
    for (const HistorySeries::Point& point : series_.points)
        total += point.ms;
    QString text = stretch + QStringLiteral("%1 points, average %2 ms, %3 outages")
                                 .arg(series_.points.size())
                                 .arg(total / series_.points.size())
                                 .arg(series_.outages.size());
    if (!series_.maintenance.isEmpty())
        text +=
            QStringLiteral(", %1 maintenance stretches (shaded lavender)").arg(series_.maintenance.size());
    return text;
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRect plot = rect().adjusted(LeftMargin, Padding, -Padding, -BottomMargin);
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    const qint64 span = std::max<qint64>(1, series_.toMs - series_.fromMs);
    const auto x = [&](qint64 ms) {
        return plot.left() + double(ms - series_.fromMs) * plot.width() / double(span);
    };
    const auto band = [&](const HistorySeries::Span& s, const QColor& colour) {
        const double left = std::max<double>(plot.left(), x(s.startMs));
        const double right = std::min<double>(plot.right(), x(s.endMs.value_or(series_.toMs)));
        painter.fillRect(QRectF(left, plot.top(), std::max(1.0, right - left), plot.height()), colour);
    };
    for (const HistorySeries::Span& gap : series_.notMonitored)
        band(gap, Unmonitored);
    for (const HistorySeries::Span& outage : series_.outages)
        band(outage, DownBand);
    // Over an outage's band: a page down in its window was allowed to be.
    for (const HistorySeries::Span& window : series_.maintenance)
        band(window, Maintenance);

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
    const QFontMetrics metrics = fontMetrics();
    const AxisTicks ticks = axisTicks(QDateTime::fromMSecsSinceEpoch(series_.fromMs),
                                      QDateTime::fromMSecsSinceEpoch(series_.toMs), plot.width(),
                                      metrics.horizontalAdvance(QLatin1Char('0')));
    for (const QDateTime& tick : ticks.times) {
        const double at = x(tick.toMSecsSinceEpoch());
        painter.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + 3));
        const QString label = tick.toString(ticks.format);
        const int labelWidth = metrics.horizontalAdvance(label);
        // A label cut off at the edge would read as another time.
        if (at + labelWidth / 2.0 <= width())
            painter.drawText(QPointF(at - labelWidth / 2.0, plot.bottom() + 4 + metrics.ascent()), label);
    }
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
