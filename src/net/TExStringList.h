#pragma once

#include <QStringList>

// A list of header lines ("Name: value") with lookup and replacement by field name.
class TExStringList : public QStringList {
public:
    using QStringList::QStringList;

    // Index of the first line whose text before its first ":" is the name, in any letter case;
    // -1 when there is none. Lines without ":" never match.
    qsizetype IndexOfHeader(const QString& name) const;
    // A non-empty value replaces the line in place, or is appended as "name: value";
    // an empty value deletes the line.
    void SetHeader(const QString& name, const QString& value);
};
