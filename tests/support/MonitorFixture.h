#pragma once

#include "check/CheckCycle.h"
#include "check/Monitor.h"
#include "pages/PageStatus.h"
#include "settings/AlarmCondition.h"
#include "support/SettingsFolder.h"

#include <QStringList>
#include <functional>
#include <memory>

class FakeNetworkState;

// The monitor without a window, started on a settings file of the test's own, its pages checked
// against peers on loopback.
class MonitorFixture : public SettingsFolder {
public:
    MonitorFixture();
    explicit MonitorFixture(const QByteArray& settingsText);
    ~MonitorFixture();

    Monitor& m() { return *monitor_; }
    Settings& settings() { return monitor_->settings; }
    FakeNetworkState* network = nullptr;

    // Ends the monitor as the program's end does (the settings are saved), and starts a fresh one
    // on the same file.
    Monitor& restart();
    // The program's end: the cycle stopped, the history closed, the settings saved. The monitor
    // stays to be read.
    void end();

    // Every check counts in short ticks, so a test does not wait seconds for a second.
    static constexpr int WatchdogTickMs = 200;
    static constexpr int CycleWaitMs = 120000;

    int addPage(const QString& url, bool checkSize = true, bool checkDate = true, bool checkSignature = true);
    // Runs one cycle to its end and returns the log lines it added.
    QStringList runCycle();
    // Log lines without their time stamps.
    const QStringList& logLines() const { return lines_; }
    // Runs the action whenever the cycle starts a request for url, right before it is sent.
    void whenChecking(const QString& url, std::function<void()> action);
    // Ticks or clears one box of the alarm matrix.
    void raise(AlarmCondition condition, AlarmReaction reaction, bool on = true);
    // The mail settings of a user whose server is on loopback.
    void setUpMail(quint16 port);
    // No alarm sound: the test's folder has none, and the error it would raise is not the test's.
    void muteSounds();

    PageStatus status(int page) const;
    QString statusBar() const;
    // The addresses of the page list, in order.
    QStringList urls() const;
    // The tray picture the monitor last asked for; -1 before it asked for any.
    int tray() const { return tray_; }

private:
    void start();

    std::unique_ptr<Monitor> monitor_;
    QStringList lines_;
    int tray_ = -1;
    bool ended_ = false;
};
