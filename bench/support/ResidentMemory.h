#pragma once

#include <QFile>
#include <QString>

// Resident memory of a process in KiB, from /proc; 0 when it cannot be read.
inline long residentKiB(const QString& pid = QStringLiteral("self")) {
    QFile status(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return 0;
}
