#pragma once

#include <QString>

// A number setting kept as the text of its edit field, read when it is needed: the fallback
// when the text is not a whole number.
inline int numberSetting(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}
