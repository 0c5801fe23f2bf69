// What the monitor without a display costs on a server: the real program started with
// --headless over pages on loopback nginx, its resident memory after the start and after its first
// cycle, with and without the metrics served (and scraped once), and the time a --check-once run of
// the same pages takes. bench_headless [pages]. Prints figures; never fails on them.
#include "support/LoopbackPages.h"
#include "support/ResidentMemory.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>

namespace {

QByteArray settingsText(const QStringList& urls) {
    // Each checked page logs a line, so the cycle's end can be seen on standard output.
    QByteArray text = "[defaults]\nCheckBoxNEL=1\nCheckListBoxURL=";
    for (const QString& url : urls)
        text += "1" + url.toUtf8() + ",";
    return text + "\n";
}

// Waits until the condition holds, letting the event loop run; false after the deadline.
template <class Condition> bool waitFor(Condition condition, int ms = 120000) {
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

QByteArray scrape(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(5000))
        answer += socket.readAll();
    return answer;
}

void headless(const QString& settings, int pages, bool metrics) {
    QProcess monitor;
    QStringList arguments{"--headless", "--settings", settings};
    if (metrics)
        arguments << "--metrics"
                  << "127.0.0.1:0";
    monitor.start(QStringLiteral(KORVANE_PROGRAM), arguments);
    QByteArray out;
    const auto read = [&] { return out += monitor.readAllStandardOutput(), true; };
    const QString pid = QString::number(monitor.processId());
    if (!waitFor([&] { return read() && out.contains("Korvane Start"); })) {
        std::printf("  the monitor did not start\n");
        return;
    }
    QThread::msleep(500);
    const long afterStart = residentKiB(pid);
    const bool cycled = waitFor([&] { return read() && out.count("Checked Sucessfully") >= pages; });
    quint16 port = 0;
    if (metrics) {
        const auto served =
            QRegularExpression(QStringLiteral("metrics on http://127.0.0.1:(\\d+)/")).match(out);
        port = served.captured(1).toUShort();
        scrape(port);
    }
    QThread::msleep(500);
    std::printf("  %-16s resident after the start %.1f MiB, after a cycle over %d pages %.1f MiB%s\n",
                metrics ? "metrics served:" : "no metrics:", afterStart / 1024.0, pages,
                residentKiB(pid) / 1024.0, cycled ? "" : " (the cycle did not end)");
    ::kill(pid_t(monitor.processId()), SIGTERM);
    QElapsedTimer end;
    end.start();
    monitor.waitForFinished(10000);
    std::printf("  %-16s ended %lld ms after SIGTERM, exit code %d\n", "", end.elapsed(), monitor.exitCode());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int pages = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    NginxPeer nginx;
    const QStringList urls = serveLoopbackPages(nginx, pages);
    if (urls.isEmpty()) {
        std::printf("nginx did not start\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("KV.ini"));
    const auto write = [&] {
        QFile file(settings);
        file.open(QIODevice::WriteOnly);
        file.write(settingsText(urls));
    };
    std::printf("%s --headless over %d pages on loopback nginx:\n", KORVANE_PROGRAM, pages);
    write();
    headless(settings, pages, false);
    write();
    headless(settings, pages, true);

    write();
    QProcess once;
    QElapsedTimer clock;
    clock.start();
    once.start(QStringLiteral(KORVANE_PROGRAM), {"--check-once", "--settings", settings});
    once.waitForFinished(120000);
    const QByteArray status = once.readAllStandardOutput().split('\n').constFirst();
    std::printf("--check-once over the same pages: %lld ms from start to exit, exit code %d: %s\n",
                clock.elapsed(), once.exitCode(), status.constData());
    return 0;
}
