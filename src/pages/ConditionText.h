#pragma once

#include <QStringList>

// What a page's conditions ask of its check before they are evaluated.
namespace ConditionText {

// Some condition reads the page's body, so the page is fetched with GET and its body read.
bool readsBody(const QStringList& conditions);

} // namespace ConditionText
