#pragma once

#include <QStatusBar>

class QLabel;
class RepaintThrottle;
class StatusLine;

// A status bar with one text field: each text replaces the one before. The text is drawn at
// paint time, so a check cycle may change it for every page without laying anything out. A
// panel on the right shows a lasting state (alarms paused) beside it, out of the way of the
// cycle's texts; it is a label, so a screen reader finds it.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    QString simpleText() const { return text_; }
    void setSimpleText(const QString& text);
    // Shows the status line's texts from now on.
    void follow(StatusLine& line);
    // The panel's text; an empty one hides the panel.
    QString panelText() const;
    void setPanelText(const QString& text);

signals:
    void simpleTextChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    RepaintThrottle* repaint_;
    QLabel* panel_;
};
