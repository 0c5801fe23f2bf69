#pragma once

#include "check/FiredRow.h"
#include "pages/PageRecords.h"

#include <QList>
#include <QString>
#include <array>

// Compares a page's size, signature and date from the response header with what was seen
// before: the rows of the values that changed where their checks are ticked, in the order
// size, signature, date. values (size, date, signature, as the page list keeps them) become the
// new ones; a field the server did not send keeps the known value.
namespace ChangeDetection {

QList<FiredRow> detectChanges(const QString& header, std::array<ListedValue, 3>& values);

} // namespace ChangeDetection
