#pragma once

#include <QString>
#include <QStringList>

// The comma text of a list of lines: how the message body memo is kept in the settings file.
// Lines holding a blank, a control character, a quotation mark or a comma are quoted with
// doubled inner quotes; all others are written as they are.
QString toCommaText(const QStringList& lines);
QStringList fromCommaText(const QString& text);
