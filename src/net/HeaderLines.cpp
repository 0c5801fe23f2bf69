#include "net/HeaderLines.h"

#include <algorithm>

namespace {

bool isTokenChar(QChar c) {
    static const QString Specials = QStringLiteral("!#$%&'*+-.^_`|~");
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || Specials.contains(c);
}

HeaderLine split(const QString& line) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    return {line.left(colon).trimmed(), colon < 0 ? QString() : line.mid(colon + 1).trimmed()};
}

} // namespace

QString HeaderLines::problem(const QString& line) {
    if (line.trimmed().isEmpty())
        return {};
    if (line.front().isSpace())
        return QStringLiteral("a header value cannot go on over a line break");
    if (!line.contains(QLatin1Char(':')))
        return QStringLiteral("\"") + line + QStringLiteral("\" is not \"Name: value\"");
    const auto [name, value] = split(line);
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isTokenChar))
        return QStringLiteral("\"") + name + QStringLiteral("\" is not a header name");
    for (const char* ours : {"Host", "Content-Length"})
        if (name.compare(QLatin1String(ours), Qt::CaseInsensitive) == 0)
            return QLatin1String(ours) + QStringLiteral(" is set by Korvane");
    for (const QChar c : value)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7f || c.unicode() > 0xff)
            return QStringLiteral("the value of ") + name +
                   QStringLiteral(" has a character a header cannot carry");
    return {};
}

QList<HeaderLine> HeaderLines::parse(const QStringList& lines) {
    QList<HeaderLine> parsed;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty() && problem(line).isEmpty())
            parsed.append(split(line));
    return parsed;
}
