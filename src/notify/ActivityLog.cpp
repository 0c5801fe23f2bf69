#include "notify/ActivityLog.h"

#include "net/AddressLogin.h"

#include <QDateTime>

QString ActivityLog::timeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
}

void ActivityLog::AddLogLine(const QString& message) {
    // The log goes to the screen, a journal, a support request: an address a server or a setting
    // hands us with a password in it must not take it there.
    emit lineAdded(QLatin1Char('[') + timeStamp(QDateTime::currentDateTime()) + QStringLiteral("] ") +
                   withoutPasswords(message));
}
