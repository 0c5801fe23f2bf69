#include "settings/CommaText.h"

namespace {

bool isBlankOrControl(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= ' ';
}

bool needsQuotes(const QString& line) {
    for (QChar c : line) {
        if (c.unicode() <= ' ' || c == QLatin1Char('"') || c == QLatin1Char(','))
            return true;
    }
    return false;
}

QString quoted(const QString& line) {
    QString out;
    out.reserve(line.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : line) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

} // namespace

QString toCommaText(const QStringList& lines) {
    if (lines.size() == 1 && lines.front().isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        out += needsQuotes(lines[i]) ? quoted(lines[i]) : lines[i];
    }
    return out;
}

QStringList fromCommaText(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    // A zero character ends the text, as it would in the file reader.
    auto at = [&](qsizetype i) { return i < n ? text[i] : QChar(0); };
    qsizetype p = 0;
    while (isBlankOrControl(at(p)))
        ++p;
    while (at(p) != QChar(0)) {
        QString item;
        if (at(p) == QLatin1Char('"')) {
            ++p;
            while (at(p) != QChar(0)) {
                if (at(p) == QLatin1Char('"')) {
                    if (at(p + 1) != QLatin1Char('"')) {
                        ++p;
                        break;
                    }
                    ++p;
                }
                item += at(p);
                ++p;
            }
        } else {
            const qsizetype start = p;
            while (at(p).unicode() > ' ' && at(p) != QLatin1Char(','))
                ++p;
            item = text.mid(start, p - start);
        }
        lines.append(item);
        while (isBlankOrControl(at(p)))
            ++p;
        if (at(p) == QLatin1Char(',')) {
            do
                ++p;
            while (isBlankOrControl(at(p)));
        }
    }
    return lines;
}
