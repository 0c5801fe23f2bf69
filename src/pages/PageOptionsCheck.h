#pragma once

#include <QString>
#include <QStringList>

struct PageOptions;

// What is wrong with a value of a page's options, in words for the field it was typed in;
// empty when it is right.
namespace PageOptionsCheck {

QString pattern(const QString& text, bool regularExpression);
QString headers(const QStringList& lines);
QString acceptedCodes(const QString& text);
// Whole seconds, at least one; empty is right too.
QString seconds(const QString& text);
// Every condition line parses; blank lines are passed by but counted. The first that does not
// is named: "line 2, column 14: expected a value".
QString conditions(const QStringList& lines);
// An http or https address with a host.
QString address(const QString& text);

// The options with every wrong value left out; each one left out adds its reason to dropped.
PageOptions rightValues(const PageOptions& options, QStringList& dropped);

} // namespace PageOptionsCheck
