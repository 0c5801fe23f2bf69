#include "notify/ActivityLog.h"

#include <QDateTime>

QString ActivityLog::timeStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
}

void ActivityLog::AddLogLine(const QString& message) {
    emit lineAdded(QLatin1Char('[') + timeStamp(QDateTime::currentDateTime()) + QStringLiteral("] ") +
                   message);
}
