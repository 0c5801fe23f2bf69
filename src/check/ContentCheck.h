#pragma once

#include <QByteArray>
#include <QString>

struct PageOptions;

// Whether a page says what it should: the text it must contain is there, and the text it must
// not contain is not.
namespace ContentCheck {

// The body as text, decoded by the charset its Content-Type names; UTF-8 when it names none
// or one nobody knows.
QString text(const QByteArray& body, const QString& header);

// The alarm's error text when the page fails its check; empty when it passes. cut: the text is
// only the start of the page.
QString failure(const PageOptions& options, const QString& text, bool cut);

} // namespace ContentCheck
