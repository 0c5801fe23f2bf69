#include "update/PictureName.h"

#include <QRegularExpression>

QString PictureName::fromAddress(const QString& address) {
    const qsizetype cut =
        std::max({address.lastIndexOf(QLatin1Char('/')), address.lastIndexOf(QLatin1Char('\\')),
                  address.lastIndexOf(QLatin1Char(':'))});
    const QString name = address.mid(cut + 1);
    // Letters, digits, blanks, dots, dashes and underscores, not starting with a dot, ending in
    // a picture extension; and no longer than a file name may be.
    static const QRegularExpression plain(
        QStringLiteral(R"(^[A-Za-z0-9_][A-Za-z0-9 ._-]{0,250}\.(gif|png|jpe?g)$)"),
        QRegularExpression::CaseInsensitiveOption);
    return plain.match(name).hasMatch() ? name : QString();
}
