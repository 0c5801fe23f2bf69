#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

using HeaderLine = std::pair<QString, QString>; // name, value

// Request header lines a user adds to a page's request, one "Name: value" a line.
namespace HeaderLines {

// Why the line cannot go into a request; empty when it can. A name must be a token, a value
// must stay on its line, and the lines that frame the request (Host, Content-Length) are ours.
QString problem(const QString& line);
// The lines that can go into a request, in their order; blank lines are passed by.
QList<HeaderLine> parse(const QStringList& lines);

} // namespace HeaderLines
