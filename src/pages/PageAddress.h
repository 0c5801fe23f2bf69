#pragma once

#include <QString>

// The settings file ends every page list item with a comma and has no escape for one, so an
// address keeps its commas percent-encoded ("%2C"), which web servers read as the same address.
inline QString storablePageAddress(const QString& typed) {
    QString address = typed;
    return address.replace(QLatin1Char(','), QStringLiteral("%2C"));
}
