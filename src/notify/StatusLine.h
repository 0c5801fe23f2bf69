#pragma once

#include <QObject>
#include <QString>

// The one short text that says what is going on just now ("Checking http://...", "Sending
// message"): each text replaces the one before. The window's status bar shows it.
class StatusLine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString text() const { return text_; }
    void setText(const QString& text);

signals:
    // Every text set, also one that repeats the last.
    void textSet(const QString& text);

private:
    QString text_;
};
