#pragma once

#include <QStatusBar>

class QLabel;

// A status bar with one text field only: each text replaces the one before.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    QString simpleText() const;
    void setSimpleText(const QString& text);

signals:
    void simpleTextChanged(const QString& text);

private:
    QLabel* text_;
};
