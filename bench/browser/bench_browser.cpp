// Prints what the embedded browser costs on an X server (Xvfb) with a window manager, as on a
// user's desktop: the time from start to a shown window and the resident memory before anything
// is browsed, then the time and memory of the first page browsed. Each round is a fresh process,
// so the start includes loading the program and its libraries.
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "browser/TWebBrowser.h"
#include "support/ResidentMemory.h"
#include "support/desktop/XvfbDesktop.h"
#include "support/net/NginxPeer.h"
#include "views/QtDialogService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Rounds = 5;

QString parentOf(const QString& pid) {
    QFile stat("/proc/" + pid + "/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    return QString::fromLatin1(text.mid(text.lastIndexOf(')') + 2).split(' ').value(1));
}

// The resident memory of this process and of every process it started, the engine's included.
long familyKiB() {
    const QString self = QString::number(QCoreApplication::applicationPid());
    long sum = 0;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        for (QString p = pid; !p.isEmpty() && p != "0" && p != "1"; p = parentOf(p)) {
            if (p == self) {
                sum += residentKiB(pid);
                break;
            }
        }
    }
    return sum;
}

// One start of the program: show the window, report, browse one page, report again.
int child(int argc, char** argv, const QString& url) {
    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    QTemporaryDir dir;
    TFormMainWindow window(dir.filePath("KV.ini"), dialogs);
    window.show();
    QTimer::singleShot(0, &app, [&] {
        std::printf("shown %ld\n", familyKiB());
        std::fflush(stdout);
        QSignalSpy complete(window.browser.WebBrowser2, &TWebBrowser::DocumentComplete);
        QElapsedTimer clock;
        clock.start();
        window.browser.EditBrowseTo->setText(url);
        window.browser.ButtonBrowseGo->click();
        const bool loaded = complete.wait(60000);
        std::printf("browsed %d %lld %ld %ld\n", loaded, clock.elapsed(), residentKiB(), familyKiB());
        std::fflush(stdout);
        window.shutDown();
        app.quit();
    });
    return app.exec();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    XvfbDesktop desktop;
    if (!desktop.running()) {
        std::fprintf(stderr, "Xvfb and openbox did not start\n");
        return 1;
    }
    NginxPeer nginx;
    nginx.addFile("page.html", "<html><head><title>page</title></head><body><h1>A page</h1></body></html>");
    if (!nginx.start()) {
        std::fprintf(stderr, "nginx did not start: %s\n", qPrintable(nginx.output()));
        return 1;
    }
    std::vector<double> startMs, shownMiB, browseMs, ownMiB, familyMiB;
    for (int round = 0; round < Rounds; ++round) {
        QProcess process;
        process.setProcessEnvironment(desktop.environment());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        process.start(QCoreApplication::applicationFilePath(), {"--child", nginx.url("page.html")});
        QList<QByteArray> shown, browsed;
        while (browsed.isEmpty() && process.waitForReadyRead(120000)) {
            while (process.canReadLine()) {
                const QList<QByteArray> words = process.readLine().trimmed().split(' ');
                if (words.first() == "shown") {
                    startMs.push_back(clock.elapsed());
                    shown = words;
                } else if (words.first() == "browsed") {
                    browsed = words;
                }
            }
        }
        process.waitForFinished(60000);
        if (shown.size() != 2 || browsed.size() != 5 || browsed[1] != "1") {
            std::fprintf(stderr, "round %d failed\n", round);
            return 1;
        }
        shownMiB.push_back(shown[1].toDouble() / 1024);
        browseMs.push_back(browsed[2].toDouble());
        ownMiB.push_back(browsed[3].toDouble() / 1024);
        familyMiB.push_back(browsed[4].toDouble() / 1024);
    }
    std::printf("median of %d starts, each in a fresh process:\n", Rounds);
    std::printf("  start to shown window, no browser: %7.0f ms, resident %6.1f MiB\n", median(startMs),
                median(shownMiB));
    std::printf("  first page browsed:                %7.0f ms, resident %6.1f MiB in the program, "
                "%6.1f MiB with the engine's processes\n",
                median(browseMs), median(ownMiB), median(familyMiB));
    return 0;
}
