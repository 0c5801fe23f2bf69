#pragma once

#include "pages/CheckFacts.h"
#include "pages/Condition.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A page's conditions against what its check found.
namespace ConditionCheck {

// The page's condition lines, parsed; blank lines, and lines that do not parse (they were
// refused where they were typed or read), are passed by.
QList<Condition> parse(const QStringList& lines);
// Some condition reads the page's body, so the page is fetched with GET and its body read.
bool readsBody(const QStringList& lines);
// "condition not met: [BODY].status == UP (was DOWN)" for the first condition that does not
// hold; nothing when all hold.
std::optional<QString> firstFailure(const QList<Condition>& conditions, const CheckFacts& facts);

} // namespace ConditionCheck
