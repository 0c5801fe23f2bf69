#include "views/StatusPictures.h"

#include "views/TImageList.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int StatusIconSize = 16;

QPixmap statusPainted(const std::function<void(QPainter&)>& draw) {
    return TImageList::painted(StatusIconSize, StatusIconSize, draw);
}

QPixmap blank() {
    return statusPainted({});
}

QPixmap questionMark() {
    return statusPainted([&](QPainter& p) {
        p.setPen(QPen(QColor(150, 120, 0), 1));
        p.setBrush(QColor(255, 220, 0));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QPainterPath hook;
        hook.moveTo(5.2, 6.0);
        hook.cubicTo(5.2, 2.8, 10.8, 2.8, 10.8, 6.0);
        hook.cubicTo(10.8, 8.0, 8.0, 8.0, 8.0, 10.2);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(220, 0, 0), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(QPointF(8.0, 12.8), 1.3, 1.3);
    });
}

QPixmap pointingHand() {
    return statusPainted([&](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(QColor(255, 228, 196));
        // Index finger stretched to the right, the other fingers curled under the palm.
        p.drawRoundedRect(QRectF(7.5, 4.5, 8, 3), 1.5, 1.5);
        p.drawRoundedRect(QRectF(1.5, 4.5, 8, 9), 2, 2);
        for (int i = 0; i < 3; ++i)
            p.drawRoundedRect(QRectF(7.5, 7.5 + 2 * i, 3.5, 2), 1, 1);
        p.setBrush(QColor(70, 110, 200));
        p.drawRect(QRectF(0.5, 5.5, 2, 7));
    });
}

QPixmap tick() {
    return statusPainted([&](QPainter& p) {
        QPainterPath path;
        path.moveTo(2.5, 8.5);
        path.lineTo(6.5, 12.5);
        path.lineTo(13.5, 3.0);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 90, 0), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        p.setPen(QPen(QColor(0, 190, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    });
}

QPixmap square(const QColor& fill, const QColor& edge) {
    return statusPainted([&](QPainter& p) {
        // Crisp edges: the square sits on whole pixels.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(edge);
        p.setBrush(fill);
        p.drawRect(2, 2, 11, 11);
        p.setPen(fill.lighter(140));
        p.drawLine(3, 3, 12, 3);
        p.drawLine(3, 3, 3, 12);
    });
}

// A small wrench in the lower right corner, on a dark badge so that it shows over every status
// picture; the rest is transparent.
QPixmap wrench() {
    return statusPainted([&](QPainter& p) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(QColor(40, 60, 150));
        p.drawEllipse(QRectF(7.5, 7.5, 8, 8));
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9.6, 13.4), QPointF(12.4, 10.6));
        // The jaw: a ring open towards the upper right.
        p.setPen(QPen(Qt::white, 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(11.2, 8.8, 3.2, 3.2), -45 * 16, 270 * 16);
    });
}

} // namespace

TImageList* StatusPictures::create(QObject* parent) {
    auto* list = new TImageList(StatusIconSize, StatusIconSize, parent);
    list->add(questionMark());
    list->add(blank());
    list->add(pointingHand());
    list->add(tick());
    list->add(square(QColor(255, 230, 0), QColor(130, 110, 0)));
    list->add(square(QColor(230, 0, 0), QColor(110, 0, 0)));
    list->add(wrench());
    return list;
}
