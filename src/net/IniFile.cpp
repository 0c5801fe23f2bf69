#include "net/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <sys/stat.h>

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

QString trimmedBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

// Korvane writes UTF-8. A line that is not UTF-8 comes from an older file edited by hand in
// Latin-1: read so, its characters are kept rather than turned into replacement marks, and the
// file is written back in UTF-8.
QString lineText(QByteArrayView row) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(row);
    return utf8.hasError() ? QString::fromLatin1(row) : text;
}

QString withoutQuotePair(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

IniFile::Line IniFile::classify(const QString& text) {
    Line line{text, {}, {}};
    const QString trimmed = trimmedBlanks(text);
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0)
            line.section = trimmedBlanks(QStringView(trimmed).mid(1, close - 1)).toLower();
        return line;
    }
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq >= 0)
        line.key = trimmedBlanks(QStringView(text).left(eq)).toLower();
    return line;
}

IniFile IniFile::parse(const QByteArray& bytes) {
    IniFile ini;
    const QList<QByteArray> rows = bytes.split('\n');
    ini.lines_.reserve(rows.size());
    // Lines keep their own endings (a carriage return counts as a trailing blank), so a file
    // written elsewhere is written back as it was, apart from the keys that changed.
    for (const QByteArray& row : rows)
        ini.lines_.append(classify(lineText(row)));
    // A final line break leaves one empty row behind that is not a line of the file.
    if (!ini.lines_.isEmpty() && ini.lines_.back().text.isEmpty())
        ini.lines_.removeLast();
    return ini;
}

IniFile IniFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IniFile();
    return parse(file.readAll());
}

qsizetype IniFile::findSection(const QString& lowerSection) const {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (lines_[i].section == lowerSection)
            return i;
    }
    return -1;
}

qsizetype IniFile::endOfSection(qsizetype sectionLine) const {
    qsizetype i = sectionLine + 1;
    while (i < lines_.size() && lines_[i].section.isEmpty())
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype sectionLine, const QString& lowerKey) const {
    const qsizetype end = endOfSection(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        if (lines_[i].key == lowerKey)
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const qsizetype s = findSection(section.toLower());
    if (s < 0)
        return std::nullopt;
    const qsizetype k = findKey(s, key.toLower());
    if (k < 0)
        return std::nullopt;
    const QString& text = lines_[k].text;
    return withoutQuotePair(trimmedBlanks(QStringView(text).mid(text.indexOf(QLatin1Char('=')) + 1)));
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QString lowerSection = section.toLower();
    qsizetype s = findSection(lowerSection);
    if (s < 0) {
        lines_.append(classify(QLatin1Char('[') + section + QLatin1Char(']')));
        s = lines_.size() - 1;
    }
    // A line break inside a value would split it into lines of their own and corrupt the file.
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const Line line = classify(key + QLatin1Char('=') + oneLine);
    const qsizetype k = findKey(s, key.toLower());
    if (k >= 0) {
        lines_[k] = line;
        return;
    }
    // New keys go after the last non-empty line of the section, before any blank separator.
    qsizetype insertAt = endOfSection(s);
    while (insertAt > s + 1 && trimmedBlanks(lines_[insertAt - 1].text).isEmpty())
        --insertAt;
    lines_.insert(insertAt, line);
}

QStringList IniFile::keys(const QString& section) const {
    QStringList names;
    const qsizetype s = findSection(section.toLower());
    if (s < 0)
        return names;
    for (qsizetype i = s + 1; i < endOfSection(s); ++i)
        if (!lines_[i].key.isEmpty())
            names.append(lines_[i].key);
    return names;
}

void IniFile::removeSection(const QString& section) {
    const qsizetype s = findSection(section.toLower());
    if (s >= 0)
        lines_.remove(s, endOfSection(s) - s);
}

QByteArray IniFile::serialize() const {
    QString text;
    qsizetype size = 0;
    for (const Line& line : lines_)
        size += line.text.size() + 1;
    text.reserve(size);
    for (const Line& line : lines_) {
        text += line.text;
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool IniFile::save(const QString& path, bool ownerOnly) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Before a byte is written, so nobody else ever reads what the file is given.
    if (ownerOnly && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0)
        return false;
    const QByteArray bytes = serialize();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}
