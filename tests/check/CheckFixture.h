#pragma once

#include "check/CheckCycle.h"
#include "support/WindowFixture.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTimer>

// A running window whose pages are checked against peers on loopback.
class CheckFixture : public WindowFixture {
public:
    CheckFixture() {
        TFormMainWindow& w = start();
        // Every check counts in short ticks, so a test does not wait seconds for a second.
        w.Timer2->setInterval(WatchdogTickMs);
        w.checkCycle().cleanupPassMs = 20;
    }

    static constexpr int WatchdogTickMs = 200;

    TFormMainWindow& w() { return window(); }

    int addPage(const QString& url, bool checkSize = true, bool checkDate = true,
                bool checkSignature = true) {
        return window().pages.addPage(url, checkSize, checkDate, checkSignature);
    }

    // Runs one cycle to its end and returns the log lines it added.
    QStringList runCycle() {
        const int before = logLines().size();
        window().checkCycle().CheckWebPagesExecute();
        return logLines().mid(before);
    }

    // Log lines without their time stamps.
    QStringList logLines() const {
        QStringList lines = const_cast<CheckFixture*>(this)->window().logTab.Log->toPlainText().split('\n');
        for (QString& line : lines)
            line.remove(QRegularExpression(R"(^\[[^\]]*\] )"));
        return lines;
    }

    PageStatus status(int page) { return window().pages.readStatus(page); }
    QString statusBar() { return window().StatusBar1->simpleText(); }
};
