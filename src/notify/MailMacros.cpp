#include "notify/MailMacros.h"

namespace MailMacros {

const QStringList& expansionOrder() {
    static const QStringList order{
        QStringLiteral("%URL%"),       QStringLiteral("%ERROR%"),      QStringLiteral("%HOST%"),
        QStringLiteral("%HOST_IP%"),   QStringLiteral("%HOST_PORT%"),  QStringLiteral("%MY_IP%"),
        QStringLiteral("%PROXY%"),     QStringLiteral("%PROXY_PORT%"), QStringLiteral("%REPLY_NUMBER%"),
        QStringLiteral("%COOKIE_IN%"), QStringLiteral("%DATE%"),       QStringLiteral("%TIME%")};
    return order;
}

QString expand(QString text, const ValueOf& valueOf) {
    for (const QString& macro : expansionOrder()) {
        qsizetype from = 0;
        for (qsizetype at; (at = text.indexOf(macro, from, Qt::CaseSensitive)) >= 0;) {
            const QString value = valueOf(macro);
            text.replace(at, macro.size(), value);
            from = at + value.size();
        }
    }
    return text;
}

} // namespace MailMacros
