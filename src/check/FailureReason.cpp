#include "check/FailureReason.h"

QString failureReason(ConnectionTrouble trouble, const QString& detail, const QString& errorText) {
    switch (trouble) {
    case ConnectionTrouble::Refused:
        return QStringLiteral("connection refused");
    case ConnectionTrouble::ClosedBeforeReply:
        return QStringLiteral("connection closed before a reply");
    case ConnectionTrouble::Untrusted:
        return QStringLiteral("certificate not trusted (") + detail + QLatin1Char(')');
    case ConnectionTrouble::SecureFailed:
        return QStringLiteral("secure connection failed (") + detail + QLatin1Char(')');
    case ConnectionTrouble::None:
        break;
    }
    return errorText;
}
