#include "views/TrayPictures.h"

#include "views/TImageList.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int TrayIconSize = 32;

QPixmap trayPainted(const std::function<void(QPainter&)>& draw) {
    return TImageList::painted(TrayIconSize, TrayIconSize, draw);
}

// A globe with a pulse trace across it: the web, watched.
void paintGlobe(QPainter& p, const QColor& sea, const QColor& lines, const QColor& pulse) {
    const QRectF globe(2.5, 2.5, 27, 27);
    QRadialGradient shade(QPointF(11, 10), 20);
    shade.setColorAt(0, sea.lighter(150));
    shade.setColorAt(1, sea);
    p.setPen(QPen(sea.darker(170), 1.2));
    p.setBrush(shade);
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(lines, 1.0));
    p.drawEllipse(QRectF(10, 2.5, 12, 27));
    p.drawLine(QPointF(16, 2.5), QPointF(16, 29.5));
    p.drawLine(QPointF(4, 11), QPointF(28, 11));
    p.drawLine(QPointF(4, 21), QPointF(28, 21));
    QPainterPath trace;
    trace.moveTo(1, 17);
    trace.lineTo(9, 17);
    trace.lineTo(12, 9);
    trace.lineTo(16, 25);
    trace.lineTo(20, 13);
    trace.lineTo(22, 17);
    trace.lineTo(31, 17);
    p.setPen(QPen(QColor(20, 20, 20), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
    p.setPen(QPen(pulse, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
}

QPixmap programPicture() {
    return trayPainted([&](QPainter& p) {
        // Crisp edges: the square sits on whole pixels.
        p.setRenderHint(QPainter::Antialiasing, false);
        paintGlobe(p, QColor(30, 90, 200), QColor(170, 210, 255), QColor(60, 230, 60));
    });
}

QPixmap idlePicture() {
    return trayPainted([&](QPainter& p) {
        // Crisp edges: the square sits on whole pixels.
        p.setRenderHint(QPainter::Antialiasing, false);
        paintGlobe(p, QColor(120, 120, 130), QColor(210, 210, 215), QColor(200, 200, 200));
    });
}

QPixmap waitingPicture() {
    QPixmap picture = programPicture();
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(17.5, 17.5, 13, 13));
    p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 24), QPointF(24, 19.5));
    p.drawLine(QPointF(24, 24), QPointF(27.5, 24));
    return picture;
}

QPixmap satelliteDish() {
    return trayPainted([&](QPainter& p) {
        // Stand and foot.
        p.setPen(QPen(QColor(60, 60, 60), 2.0));
        p.drawLine(QPointF(13, 18), QPointF(9, 28));
        p.drawLine(QPointF(13, 18), QPointF(17, 28));
        p.drawLine(QPointF(6, 29), QPointF(20, 29));
        // The dish, tilted towards the upper right.
        QPainterPath dish;
        dish.moveTo(3, 9);
        dish.quadTo(6, 25, 22, 22);
        dish.closeSubpath();
        QLinearGradient metal(QPointF(3, 9), QPointF(18, 24));
        metal.setColorAt(0, QColor(235, 235, 240));
        metal.setColorAt(1, QColor(140, 145, 155));
        p.setPen(QPen(QColor(50, 50, 60), 1.2));
        p.setBrush(metal);
        p.drawPath(dish);
        // Feed arm and the signal it sends.
        p.setPen(QPen(QColor(50, 50, 60), 1.5));
        p.drawLine(QPointF(12.5, 15.5), QPointF(18, 10));
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(18.5, 9.5), 1.8, 1.8);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 140, 230), 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            const qreal r = 4.0 + 3.5 * i;
            p.drawArc(QRectF(18.5 - r, 9.5 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);
        }
    });
}

QPixmap helmet(const QColor& colour) {
    return trayPainted([&](QPainter& p) {
        const QColor edge = colour.darker(220);
        QPainterPath dome;
        dome.moveTo(5, 21);
        dome.cubicTo(5, 4, 27, 4, 27, 21);
        dome.closeSubpath();
        QLinearGradient shine(QPointF(8, 6), QPointF(24, 22));
        shine.setColorAt(0, colour.lighter(160));
        shine.setColorAt(1, colour);
        p.setPen(QPen(edge, 1.2));
        p.setBrush(shine);
        p.drawPath(dome);
        // The ridge over the crown.
        p.setBrush(colour.darker(115));
        p.drawRoundedRect(QRectF(14, 7, 4, 14), 1.5, 1.5);
        // The brim.
        p.setBrush(colour.darker(110));
        p.drawRoundedRect(QRectF(1.5, 20, 29, 5), 2.5, 2.5);
    });
}

} // namespace

QPixmap TrayPictures::programIcon() {
    return programPicture();
}

TImageList* TrayPictures::create(QObject* parent) {
    auto* list = new TImageList(TrayIconSize, TrayIconSize, parent);
    list->add(programPicture());
    list->add(idlePicture());
    list->add(waitingPicture());
    list->add(satelliteDish());
    list->add(helmet(QColor(0, 170, 0)));
    list->add(helmet(QColor(250, 215, 0)));
    list->add(helmet(QColor(225, 0, 0)));
    return list;
}
