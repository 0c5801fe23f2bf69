#pragma once

#include <QWidget>
#include <cstdint>

// The banner inside one banner control: a child filling the control, hidden until started. It
// shows the picture or the page the control names in its properties "adimagePicture" and
// "adimagePage", else a banner of its own, and tells the control of a click with a posted event.
class AdImageBanner : public QWidget {
    Q_OBJECT
public:
    AdImageBanner(QWidget* control, std::int32_t softwareId);

    std::int32_t softwareId() const { return softwareId_; }
    bool started() const { return started_; }
    // Shows the banner and tells the control it is on show.
    void start();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString controlFile(const char* property) const;
    bool paintPicture(QPainter& painter);
    bool paintPage(QPainter& painter);
    void paintOwnBanner(QPainter& painter);
    void postToControl(int notice);

    const std::int32_t softwareId_;
    bool started_ = false;
};
