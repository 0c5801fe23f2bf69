#include "views/TStatusBar.h"

#include <QLabel>

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent), text_(new QLabel(this)) {
    setSizeGripEnabled(true);
    addWidget(text_, 1);
}

QString TStatusBar::simpleText() const {
    return text_->text();
}

void TStatusBar::setSimpleText(const QString& text) {
    text_->setText(text);
    emit simpleTextChanged(text);
}
