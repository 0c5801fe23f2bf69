#pragma once

#include <QStatusBar>

class RepaintThrottle;
class StatusLine;

// A status bar with one text field only: each text replaces the one before. The text is drawn
// at paint time, so a check cycle may change it for every page without laying anything out.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    QString simpleText() const { return text_; }
    void setSimpleText(const QString& text);
    // Shows the status line's texts from now on.
    void follow(StatusLine& line);

signals:
    void simpleTextChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    RepaintThrottle* repaint_;
};
