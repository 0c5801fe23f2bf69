#include "notify/CycleMail.h"

void CycleMail::add(const QString& report, const QStringList& recipients) {
    // A template that ends in line breaks would widen the gap between two reports.
    QString trimmed = report;
    while (trimmed.endsWith(QLatin1Char('\n')) || trimmed.endsWith(QLatin1Char('\r')))
        trimmed.chop(1);
    reports_.append(trimmed);
    for (const QString& recipient : recipients) {
        if (!recipients_.contains(recipient))
            recipients_.append(recipient);
    }
}

QString CycleMail::text() const {
    return reports_.join(QStringLiteral("\r\n\r\n"));
}
