#pragma once

#include <QProcess>

// Gives the process this environment without any display: whatever it does must not need one.
inline void runHeadless(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    process.setProcessEnvironment(env);
}
