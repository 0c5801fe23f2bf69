#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The keyword macros of the alarm mail template ("%URL%", "%ERROR%" ...) and their expansion.
namespace MailMacros {

// The macros in the order they are expanded.
const QStringList& expansionOrder();

using ValueOf = std::function<QString(const QString& macro)>;

// Replaces every occurrence of each macro, macro after macro in expansion order, by its value,
// asked anew for each occurrence. Each macro is searched from the start of the text as it then
// stands, so a value put in by an earlier macro is expanded by the later ones; the search for a
// macro goes on behind the value it put in, so a value holding its own macro cannot make the
// expansion run for ever.
QString expand(QString text, const ValueOf& valueOf);

} // namespace MailMacros
