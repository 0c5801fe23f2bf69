#pragma once

#include "app/TFormMainWindow.h"
#include "check/CheckCycle.h"
#include "notify/DialogService.h"

#include "support/CycleWait.h"
#include "support/ResidentMemory.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

// Offscreen unless told otherwise: on a real display the figures include its round trips.
inline void offscreenUnlessTold() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Errors are printed, never shown: a benchmark must not stop at a message box.
class PrintedDialogs : public DialogService {
public:
    void showError(const QString& text) override { std::printf("error shown: %s\n", qPrintable(text)); }
    void showMessage(const QString& text) override { std::printf("message shown: %s\n", qPrintable(text)); }
    bool confirm(const QString&, const QString&) override { return false; }
    std::optional<QString> inputText(const QString&, const QString&) override { return std::nullopt; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

struct CycleFigures {
    double seconds = 0;
    int ok = 0;
    qint64 longestGapMs = 0;
    long residentBefore = 0;
    long residentAfter = 0;
    long peakGrowth = 0; // KiB the cycle added to the peak resident memory; 0 when unknown
};

// One cycle of a fresh monitor over the pages: the settings are set up first, and after() sees
// the window before it goes.
constexpr int StartSettleMs = 1000;

inline CycleFigures checkOnce(const QStringList& urls, DialogService& dialogs,
                              const std::function<void(TFormMainWindow&)>& settings = {},
                              const std::function<void(TFormMainWindow&)>& after = {}) {
    QTemporaryDir dir;
    // The default alarm sounds lie beside the settings, as they do beside an installed program.
    for (const char* sound : {"td.wav", "problem.wav"})
        QFile::copy(QStringLiteral(KORVANE_BUILD_DIR "/") + QLatin1String(sound), dir.filePath(sound));
    TFormMainWindow window(dir.filePath(QStringLiteral("KV.ini")), dialogs);
    window.show();
    for (const QString& url : urls)
        window.pages.addPage(url, true, true, true);
    if (settings)
        settings(window);
    // As "Check websites once" does: the grid is in view while the pages are checked.
    window.PageControl1->setCurrentWidget(window.status.TabSheetStatus);
    // The start finishes first (the secret store's answers, the history's open), as it does
    // before a user's first cycle: a scheduled one comes a second after the start at the soonest.
    QEventLoop settle;
    QTimer::singleShot(StartSettleMs, &settle, &QEventLoop::quit);
    settle.exec();
    CycleFigures figures;
    figures.residentBefore = residentKiB();
    const bool peakReset = resetPeakResident();

    // A 10 ms heartbeat: the longest gap between its beats is how long the window went deaf.
    QElapsedTimer beat;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout,
                     [&] { figures.longestGapMs = qMax(figures.longestGapMs, beat.restart()); });
    heartbeat.start(10);
    beat.start();

    QElapsedTimer clock;
    clock.start();
    window.checkCycle().CheckWebPagesExecute();
    waitForCycle(window.checkCycle(), window.checkState.CheckRunning, 3600 * 1000);
    figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    heartbeat.stop();
    for (int i = 0; i < urls.size(); ++i)
        figures.ok += window.pages.readStatus(i) == PageStatus::Ok;
    figures.residentAfter = residentKiB();
    if (peakReset)
        figures.peakGrowth = peakResidentKiB() - figures.residentBefore;
    if (after)
        after(window);
    return figures;
}
