#include "check/PageSignature.h"

namespace PageSignature {

QString stored(const QString& etag) {
    QString text = etag;
    return text.replace(QLatin1Char('%'), QStringLiteral("%25"))
        .replace(QLatin1Char(','), QStringLiteral("%2C"));
}

QString shown(const QString& storedText) {
    QString text;
    text.reserve(storedText.size());
    for (qsizetype i = 0; i < storedText.size(); ++i) {
        const QStringView rest = QStringView(storedText).mid(i);
        if (rest.startsWith(QLatin1String("%25"))) {
            text += QLatin1Char('%');
            i += 2;
        } else if (rest.startsWith(QLatin1String("%2C"))) {
            text += QLatin1Char(',');
            i += 2;
        } else {
            text += storedText[i];
        }
    }
    return text;
}

} // namespace PageSignature
