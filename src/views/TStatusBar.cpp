#include "views/TStatusBar.h"

#include "notify/StatusLine.h"
#include "views/RepaintThrottle.h"

#include <QPainter>

namespace {
constexpr int TextMargin = 4;
}

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent), repaint_(new RepaintThrottle(this)) {
    setSizeGripEnabled(true);
}

void TStatusBar::setSimpleText(const QString& text) {
    if (text != text_) {
        text_ = text;
        repaint_->request();
    }
    emit simpleTextChanged(text);
}

void TStatusBar::follow(StatusLine& line) {
    connect(&line, &StatusLine::textSet, this, &TStatusBar::setSimpleText);
}

void TStatusBar::paintEvent(QPaintEvent* event) {
    QStatusBar::paintEvent(event);
    QPainter painter(this);
    // Room is left on the right for the size grip.
    const QRect area = rect().adjusted(TextMargin, 0, -height(), 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text_, Qt::ElideRight, area.width()));
}
