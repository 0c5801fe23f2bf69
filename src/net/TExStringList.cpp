#include "net/TExStringList.h"

qsizetype TExStringList::IndexOfHeader(const QString& name) const {
    for (qsizetype i = 0; i < size(); ++i) {
        const QString& line = at(i);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0 && QStringView(line).left(colon).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TExStringList::SetHeader(const QString& name, const QString& value) {
    const qsizetype index = IndexOfHeader(name);
    if (value.isEmpty()) {
        if (index >= 0)
            removeAt(index);
        return;
    }
    const QString line = name + QStringLiteral(": ") + value;
    if (index >= 0)
        replace(index, line);
    else
        append(line);
}
