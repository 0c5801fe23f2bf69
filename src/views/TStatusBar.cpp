#include "views/TStatusBar.h"

#include "notify/StatusLine.h"
#include "views/RepaintThrottle.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace {
constexpr int TextMargin = 4;
}

TStatusBar::TStatusBar(QWidget* parent)
    : QStatusBar(parent), repaint_(new RepaintThrottle(this)), panel_(new QLabel) {
    setSizeGripEnabled(true);
    panel_->setObjectName(QStringLiteral("StatusBarPanel"));
    addPermanentWidget(panel_);
    panel_->hide();
}

QString TStatusBar::panelText() const {
    return panel_->text();
}

void TStatusBar::setPanelText(const QString& text) {
    panel_->setText(text);
    panel_->setVisible(!text.isEmpty());
    // The simple text gives the panel its room.
    update();
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
    // Room is left on the right for the size grip, or for the panel.
    QRect area = rect().adjusted(TextMargin, 0, -height(), 0);
    if (panel_->isVisible())
        area.setRight(std::min(area.right(), panel_->geometry().left() - TextMargin));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text_, Qt::ElideRight, area.width()));
}
