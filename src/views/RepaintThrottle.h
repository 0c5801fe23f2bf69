#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Repaints a widget at most every so often, however often it is asked to: a check cycle may
// change what a widget shows hundreds of times a second, faster than anyone can see, and
// painting each change would cost more than checking the page.
class RepaintThrottle : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 40;

    explicit RepaintThrottle(QWidget* target, int intervalMs = DefaultIntervalMs);

    // The widget is repainted within the interval; requests until then are merged.
    void request();

private:
    QPointer<QWidget> target_;
    QTimer timer_;
};
