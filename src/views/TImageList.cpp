#include "views/TImageList.h"

#include <QPainter>

TImageList::TImageList(int width, int height, QObject* parent)
    : QObject(parent), width_(width), height_(height) {}

int TImageList::add(const QPixmap& picture) {
    if (picture.size() == QSize(width_, height_))
        images_.append(picture);
    else
        images_.append(picture.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return count() - 1;
}

QPixmap TImageList::pixmap(int index) const {
    return index >= 0 && index < count() ? images_[index] : QPixmap();
}

QIcon TImageList::icon(int index) const {
    const QPixmap picture = pixmap(index);
    return picture.isNull() ? QIcon() : QIcon(picture);
}

void TImageList::draw(QPainter& painter, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= count())
        return;
    if (enabled)
        painter.drawPixmap(x, y, images_[index]);
    else
        painter.drawPixmap(x, y, icon(index).pixmap(QSize(width_, height_), QIcon::Disabled));
}

QPixmap TImageList::painted(int width, int height, const std::function<void(QPainter&)>& draw) {
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    if (draw) {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    return picture;
}
