#pragma once

#include <QByteArrayList>
#include <QFile>
#include <QString>

// Whether the process has installed its own handler for the signal yet: a signal sent earlier
// would end it without the orderly close the test is about.
inline bool catchesSignal(qint64 pid, int signal) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}
