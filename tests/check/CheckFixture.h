#pragma once

#include "check/CheckCycle.h"
#include "check/NetworkCheck.h"
#include "support/CycleWait.h"
#include "support/FakeNetworkState.h"
#include "support/WindowFixture.h"
#include "views/TCheckListBox.h"
#include "views/TStatusBar.h"

#include "views/LogView.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>

// A running window whose pages are checked against peers on loopback.
class CheckFixture : public WindowFixture {
public:
    CheckFixture() { prepare(start()); }
    explicit CheckFixture(const QByteArray& settingsText) : WindowFixture(settingsText) { prepare(start()); }

    // A fresh window on the same settings, prepared as the first one was.
    TFormMainWindow& restart() {
        prepare(WindowFixture::restart());
        return w();
    }

    FakeNetworkState* network;

    static constexpr int WatchdogTickMs = 200;

    TFormMainWindow& w() { return window(); }
    Monitor& m() { return window().monitor; }

private:
    void prepare(TFormMainWindow& w) {
        // Every check counts in short ticks, so a test does not wait seconds for a second.
        w.Timer2->setInterval(WatchdogTickMs);
        // The machine running the tests may well be offline: the pages are on loopback anyway.
        auto state = std::make_unique<FakeNetworkState>();
        network = state.get();
        w.checkCycle().network().useState(std::move(state));
    }

public:
    int addPage(const QString& url, bool checkSize = true, bool checkDate = true,
                bool checkSignature = true) {
        return window().pages.addPage(url, checkSize, checkDate, checkSignature);
    }

    // Runs one cycle to its end and returns the log lines it added.
    QStringList runCycle() {
        const int before = logLines().size();
        window().checkCycle().CheckWebPagesExecute();
        waitForCycle(window().checkCycle(), window().checkState.CheckRunning, CycleWaitMs);
        return logLines().mid(before);
    }
    static constexpr int CycleWaitMs = 120000;

    // Log lines without their time stamps.
    QStringList logLines() {
        window().logTab.Log->flush();
        QStringList lines = window().logTab.Log->toPlainText().split('\n');
        for (QString& line : lines)
            line.remove(QRegularExpression(R"(^\[[^\]]*\] )"));
        return lines;
    }

    // Runs the action whenever the cycle starts a request for url, right before it is sent.
    QMetaObject::Connection whenChecking(const QString& url, std::function<void()> action) {
        return QObject::connect(window().StatusBar1, &TStatusBar::simpleTextChanged, window().StatusBar1,
                                [url, action](const QString& text) {
                                    if (text == "Checking " + url)
                                        action();
                                });
    }

    // The mail settings of a user whose server is on loopback.
    void setUpMail(quint16 port) {
        TFormMainWindow& w = window();
        w.emailSetup.EditEmailHost->setText("127.0.0.1");
        w.emailSetup.EditEmailPort->setText(QString::number(port));
        w.emailSetup.EditEmailID->setText("monitor-host");
        w.emailSetup.EditLocalName->setText("Korvane Monitor");
        w.emailSetup.Edit1localEMail->setText("monitor@example.org");
        w.sendingEmail.EditEMail1->setText("ops@example.org");
    }

    // No alarm sound: the test's folder has none, and the error box it would raise is not the test's.
    void muteSounds() {
        for (AlarmRow& row : window().alarms.rows) {
            if (row.PlayWav)
                row.PlayWav->setChecked(false);
        }
    }

    PageStatus status(int page) { return window().pages.readStatus(page); }
    QString statusBar() { return window().StatusBar1->simpleText(); }
};
