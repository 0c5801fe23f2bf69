// What the running monitor costs on a desktop, measured from outside the real program on an X
// server (Xvfb) with a window manager (openbox), the browser never used: the time from start to the
// window drawn, resident memory after the start and after one cycle over 1000 pages on loopback,
// how long the window took to answer the window manager's ping during that cycle, the GL and TLS
// libraries mapped, and the CPU time and wake-ups of 8 s idle and of 8 s waiting for one slow
// page. bench_desktop [program [pages]]: another build's program, another number of pages.
// Prints figures; never fails on them.
#include "support/LoopbackPages.h"
#include "support/ResidentMemory.h"
#include "support/desktop/XvfbDesktop.h"
#include "support/net/ScriptedPeer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int StartRounds = 7;
constexpr int QuietSeconds = 8;

QString program;

// One start of the program on its own settings, up to its window drawn on the screen.
struct Monitor {
    Monitor(XvfbDesktop& desktop, const QByteArray& settingsText) {
        QFile settings(dir.filePath("KV.ini"));
        settings.open(QIODevice::WriteOnly);
        settings.write(settingsText);
        settings.close();
        QProcessEnvironment env = desktop.environment();
        env.insert("KORVANE_UPDATE_ROOT", QString());
        process.setProcessEnvironment(env);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        process.start(program, {"--settings", settings.fileName()});
        window = desktop.waitForWindow(process.processId(), "Korvane", 60000);
        // Its first paint comes from the expose that came before the ping, so the answer to the
        // ping means the window has been drawn.
        if (window && desktop.ping(window, 60000))
            drawnMs = double(clock.nsecsElapsed()) / 1e6;
    }
    ~Monitor() {
        process.terminate();
        process.waitForFinished(10000);
    }
    QString pid() const { return QString::number(process.processId()); }

    QTemporaryDir dir;
    QProcess process;
    XvfbDesktop::Window window = 0;
    double drawnMs = -1;
};

// CPU time of every thread of the process, in ms.
double cpuMs(const QString& pid) {
    double ns = 0;
    for (const QString& task : QDir("/proc/" + pid + "/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + pid + "/task/" + task + "/schedstat");
        if (stat.open(QIODevice::ReadOnly))
            ns += stat.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

// How often the main thread has gone to sleep and been woken.
long wakeups(const QString& pid) {
    QFile status("/proc/" + pid + "/task/" + pid + "/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:"))
            return line.mid(24).trimmed().toLong();
    }
    return 0;
}

// The GL drivers, and the TLS library, which only https pages and secure mail need.
QStringList heavyLibraries(const QString& pid) {
    QFile maps("/proc/" + pid + "/maps");
    maps.open(QIODevice::ReadOnly);
    QStringList found;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QString file = QString::fromLatin1(line.mid(line.lastIndexOf(' ') + 1));
        if ((file.contains("/dri/") || file.contains("libLLVM") || file.contains("GLX_mesa") ||
             file.contains("libEGL_mesa") || file.contains("libssl")) &&
            !found.contains(QFileInfo(file).fileName()))
            found << QFileInfo(file).fileName();
    }
    return found;
}

void memoryFigures(const char* when, const QString& pid) {
    const QStringList heavy = heavyLibraries(pid);
    std::printf("  resident %-34s %6.1f MiB, GL or TLS libraries mapped: %s\n", when,
                residentKiB(pid) / 1024.0, heavy.isEmpty() ? "none" : qPrintable(heavy.join(", ")));
}

void quietFigures(const char* what, const QString& pid) {
    const double cpu = cpuMs(pid);
    const long woken = wakeups(pid);
    QThread::sleep(QuietSeconds);
    std::printf("  %-43s %6.1f ms CPU, %ld wake-ups of the main thread\n", what, cpuMs(pid) - cpu,
                wakeups(pid) - woken);
}

void waitUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(600000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
}

QByteArray pageList(const QStringList& urls) {
    QByteArray text = "[defaults]\nCheckListBoxURL=";
    for (const QString& url : urls)
        text += "1" + url.toUtf8() + ",";
    return text + "\n";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(KORVANE_PROGRAM);
    const int pages = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 1000;
    XvfbDesktop desktop;
    if (!desktop.running()) {
        std::fprintf(stderr, "Xvfb and openbox did not start\n");
        return 1;
    }
    std::printf("%s on Xvfb with openbox, the browser never used:\n", qPrintable(program));

    std::vector<double> drawn;
    for (int round = 0; round < StartRounds; ++round)
        drawn.push_back(Monitor(desktop, "[defaults]\n").drawnMs);
    std::sort(drawn.begin(), drawn.end());
    std::printf("  start to window drawn, no pages, %d starts: median %.0f ms, best %.0f ms, worst %.0f ms\n",
                StartRounds, drawn[drawn.size() / 2], drawn.front(), drawn.back());
    {
        Monitor empty(desktop, "[defaults]\n");
        QThread::sleep(1);
        memoryFigures("after the start, no pages:", empty.pid());
    }

    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, pages);
    Monitor monitor(desktop, pageList(urls));
    QThread::sleep(1);
    memoryFigures(qPrintable(QString("after the start, %1 pages:").arg(pages)), monitor.pid());
    quietFigures("idle for 8 s:", monitor.pid());
    desktop.click(monitor.window, 15, 14); // "Check websites once"
    // The window manager's ping, over and over while the pages are checked: its slowest answer is
    // how long a user would wait for the window.
    qint64 slowestPingMs = 0;
    int pings = 0;
    waitUntil([&] {
        QElapsedTimer ping;
        ping.start();
        if (desktop.ping(monitor.window, 60000)) {
            slowestPingMs = std::max(slowestPingMs, ping.elapsed());
            ++pings;
        }
        return nginx.accessLog().size() >= pages;
    });
    std::printf("  slowest answer to %d pings during the cycle: %lld ms\n", pings, (long long)slowestPingMs);
    QThread::sleep(1);
    memoryFigures(qPrintable(QString("after a cycle over the %1 pages:").arg(pages)), monitor.pid());

    ScriptedPeer slow(
        QJsonObject{{"mode", "http"}, {"routes", QJsonObject{{"*", QJsonObject{{"silent", true}}}}}});
    slow.start();
    Monitor waiting(desktop, pageList({slow.url("/slow")}) + "EditTimeOut=60\n");
    desktop.click(waiting.window, 15, 14);
    waitUntil([&] { return !slow.requests().isEmpty(); });
    quietFigures("waiting 8 s for one slow page:", waiting.pid());
    return 0;
}
