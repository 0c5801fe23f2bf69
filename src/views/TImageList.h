#pragma once

#include <functional>

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>

class QPainter;

// A numbered set of pictures of one size.
class TImageList : public QObject {
    Q_OBJECT
public:
    TImageList(int width, int height, QObject* parent = nullptr);

    // A transparent picture of the given size with what draw paints on it, edges smoothed.
    static QPixmap painted(int width, int height, const std::function<void(QPainter&)>& draw);

    int width() const { return width_; }
    int height() const { return height_; }
    int count() const { return static_cast<int>(images_.size()); }

    // Adds a picture, scaled to the list's size if it differs; returns its index.
    int add(const QPixmap& picture);
    // A null pixmap or icon for an index outside the list.
    QPixmap pixmap(int index) const;
    QIcon icon(int index) const;
    // Draws picture index with its top-left corner at (x, y); an index outside the list draws nothing.
    void draw(QPainter& painter, int x, int y, int index, bool enabled = true) const;

private:
    int width_;
    int height_;
    QList<QPixmap> images_;
};
