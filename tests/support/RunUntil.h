#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <csignal>

// A run of a program without a window, ended by its service manager.
struct EndedRun {
    QByteArray out;    // what it wrote to standard output
    int exitCode = -1; // -1: it did not end on its own
    qint64 endMs = -1; // from SIGTERM to its end
};

// Runs the command (the program first) until its standard output holds `until`, then sends it
// SIGTERM and waits for its end.
inline EndedRun runUntil(const QStringList& command, const QByteArray& until) {
    QProcess process;
    process.start(command.first(), command.mid(1));
    EndedRun run;
    if (!QTest::qWaitFor([&] { return (run.out += process.readAllStandardOutput()).contains(until); }, 60000))
        return run;
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(process.processId()), SIGTERM);
    if (process.waitForFinished(10000)) {
        run.endMs = clock.elapsed();
        run.exitCode = process.exitCode();
    }
    run.out += process.readAllStandardOutput();
    return run;
}
