#include "net/ResponseHeaderReader.h"

#include <limits>

namespace {
QStringView withoutLineEnd(QStringView line) {
    if (line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

// The value after "Name: ", up to the line end, kept whole.
QString valueFrom(const QString& line, qsizetype start) {
    return withoutLineEnd(QStringView(line).mid(qMin(start, line.size()))).toString();
}
} // namespace

qint16 ResponseHeaderReader::replyNumber(const QString& statusLine) {
    // "HTTP/1.0 404\r\n" is a 404: taking the line end as part of the number would turn a
    // missing page into a success.
    const QStringView line = withoutLineEnd(statusLine);
    const qsizetype first = line.indexOf(QLatin1Char(' '));
    if (first < 0)
        return 0;
    QStringView word = line.mid(first + 1);
    if (const qsizetype end = word.indexOf(QLatin1Char(' ')); end >= 0)
        word = word.left(end);
    bool ok = false;
    const qlonglong value = word.toLongLong(&ok, 10);
    if (!ok || word.isEmpty() || word.front().isSpace() || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max())
        return 0;
    return qint16(value);
}

bool ResponseHeaderReader::takeLine(const QString& line) {
    // Read however it is written: taking a chunked body for a plain one would search the sizes.
    static const QLatin1String transferEncoding("TRANSFER-ENCODING:");
    if (line.startsWith(transferEncoding, Qt::CaseInsensitive))
        Chunked = withoutLineEnd(QStringView(line).mid(transferEncoding.size()))
                      .trimmed()
                      .endsWith(QLatin1String("chunked"), Qt::CaseInsensitive);
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        const QStringView name = QStringView(line).left(blank);
        if (name.compare(QLatin1String("SET-COOKIE:"), Qt::CaseInsensitive) == 0) {
            CookieIn = valueFrom(line, 12);
        } else if (name.compare(QLatin1String("LOCATION:"), Qt::CaseInsensitive) == 0) {
            Location = valueFrom(line, 10);
            HasLocation = true;
        } else if (name.compare(QLatin1String("CONTENT-LENGTH:"), Qt::CaseInsensitive) == 0) {
            qint64 value = 0;
            qsizetype i = 16;
            for (; i < line.size() && line[i] >= QLatin1Char('0') && line[i] <= QLatin1Char('9'); ++i)
                value =
                    qMin<qint64>(value * 10 + (line[i].unicode() - '0'), std::numeric_limits<qint32>::max());
            BytesTotal = qint32(value);
            HasLength = i > 16;
        }
    }
    return line == QLatin1String("\n") || line == QLatin1String("\r\n") || line.isEmpty();
}
