// Prints how long the window takes to load and to save a settings file holding 1000 pages.
#include "views/QtDialogService.h"
#include "app/TFormMainWindow.h"
#include "app/TKorvaneApplication.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Pages = 1000;
constexpr int Rounds = 20;

QByteArray settingsWithPages() {
    QByteArray pages;
    QByteArray values;
    for (int i = 0; i < Pages; ++i) {
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
    const QByteArray text = settingsWithPages();

    std::vector<double> loads, saves;
    for (int round = 0; round < Rounds; ++round) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return 1;
        file.close();
        TFormMainWindow window(path, dialogs);
        QElapsedTimer clock;
        clock.start();
        window.show(); // the first show loads the settings
        loads.push_back(clock.nsecsElapsed() / 1e6);
        if (window.pages.pageCount() != Pages)
            return 1;
        clock.restart();
        window.close(); // closing saves them
        saves.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("settings with %d pages (%lld bytes), median of %d rounds:\n", Pages, (long long)text.size(),
                Rounds);
    std::printf("  load (first show of the window): %.2f ms\n", median(loads));
    std::printf("  save (closing the window):        %.2f ms\n", median(saves));
    return 0;
}
