#pragma once

#include <QFile>
#include <QString>

// A field of a process's status in KiB, from /proc; 0 when it cannot be read.
inline long statusKiB(const QString& pid, const QByteArray& field) {
    QFile status(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').front().toLong();
    }
    return 0;
}

// Resident memory of a process in KiB; 0 when it cannot be read.
inline long residentKiB(const QString& pid = QStringLiteral("self")) {
    return statusKiB(pid, "VmRSS:");
}

// The most this process has held resident since it started, or since resetPeakResident.
inline long peakResidentKiB() {
    return statusKiB(QStringLiteral("self"), "VmHWM:");
}

// Starts the peak over from what is resident now; false where the system does not allow it.
inline bool resetPeakResident() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}
