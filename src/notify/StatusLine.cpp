#include "notify/StatusLine.h"

void StatusLine::setText(const QString& text) {
    text_ = text;
    emit textSet(text);
}
