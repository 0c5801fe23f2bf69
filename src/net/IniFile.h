#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A classic INI file held in memory. Reading follows the old private-profile rules: section
// and key names match without regard to letter case, a value is the text after the first "="
// with blanks trimmed and one pair of matching quotes removed. Writing replaces an existing
// key's line in place and appends a new key at the end of its section, so hand-made lines,
// comments and other sections are kept as they were. The file is UTF-8; a line that is not is
// read as Latin-1.
class IniFile {
public:
    static IniFile parse(const QByteArray& bytes);

    // Reads the file at path; a missing file reads as empty.
    static IniFile load(const QString& path);

    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    // The section's key names, in lower case and in file order.
    QStringList keys(const QString& section) const;
    // Drops the section, its header and every line in it.
    void removeSection(const QString& section);

    QByteArray serialize() const;

    // Writes the whole file at once through a temporary file that replaces the old one, so a
    // crash or a full disk never leaves a half-written file behind. The file keeps the permissions
    // it had; ownerOnly makes it readable and writable by its owner only. Returns false on failure.
    bool save(const QString& path, bool ownerOnly = false) const;

private:
    struct Line {
        QString text;
        QString section; // lower-case name when this is a section header line
        QString key;     // lower-case key when this is a key line
    };

    qsizetype findSection(const QString& lowerSection) const;
    qsizetype findKey(qsizetype sectionLine, const QString& lowerKey) const;
    qsizetype endOfSection(qsizetype sectionLine) const;
    static Line classify(const QString& text);

    QList<Line> lines_;
};
