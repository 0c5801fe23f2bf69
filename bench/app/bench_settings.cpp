// Prints how long the settings store, and the window around it, take to load and to save a
// settings file holding many pages: bench_settings [pages], 1000 unless given.
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"
#include "pages/PageRecords.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "views/QtDialogService.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Rounds = 20;

QByteArray settingsWithPages(int pageCount) {
    QByteArray pages;
    QByteArray values;
    for (int i = 0; i < pageCount; ++i) {
        pages += "1http://127.0.0.1:8080/pages/page-" + QByteArray::number(i) + ".html,";
        values += "1" + QByteArray::number(1000 + i) + ",";
    }
    return "[defaults]\nCheckListBoxURL=" + pages + "\nSizeList=" + values + "\nLastDateList=" + values +
           "\nSignatureList=" + values + "\n";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QtDialogService dialogs;
    TKorvaneApplication app(argc, argv, dialogs);
    QTemporaryDir dir;
    const QString path = dir.filePath("KV.ini");
    const int pageCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const QByteArray text = settingsWithPages(pageCount);
    const auto writeSettings = [&] {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };

    std::vector<double> storeLoads, storeSaves;
    for (int round = 0; round < Rounds; ++round) {
        if (!writeSettings())
            return 1;
        Settings settings;
        PageRecords pages;
        SettingsStore store(path, settings, pages);
        QElapsedTimer clock;
        clock.start();
        store.LoadSettings();
        storeLoads.push_back(clock.nsecsElapsed() / 1e6);
        if (pages.pageCount() != pageCount)
            return 1;
        clock.restart();
        store.SaveSettings();
        storeSaves.push_back(clock.nsecsElapsed() / 1e6);
    }

    std::vector<double> loads, saves;
    for (int round = 0; round < Rounds; ++round) {
        if (!writeSettings())
            return 1;
        TFormMainWindow window(path, dialogs);
        QElapsedTimer clock;
        clock.start();
        window.show(); // the first show loads the settings
        loads.push_back(clock.nsecsElapsed() / 1e6);
        if (window.pages.pageCount() != pageCount)
            return 1;
        clock.restart();
        window.close(); // closing saves them
        saves.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("settings with %d pages (%lld bytes), median of %d rounds:\n", pageCount,
                (long long)text.size(), Rounds);
    std::printf("  load (the settings store):        %.2f ms\n", median(storeLoads));
    std::printf("  save (the settings store):        %.2f ms\n", median(storeSaves));
    std::printf("  load (first show of the window): %.2f ms\n", median(loads));
    std::printf("  save (closing the window):        %.2f ms\n", median(saves));
    return 0;
}
