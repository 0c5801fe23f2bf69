#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, kill) into an event on the window's
// thread, so the program can end in order: the settings saved even while the window is hidden
// in the tray or a check is waiting on a slow server.
class QuitSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit QuitSignalWatcher(QObject* parent = nullptr);
    ~QuitSignalWatcher() override;

    // A signal came: the program is to end. It may come while the window is still starting (the
    // password store waits for its answer), before the main loop runs, where quitting does
    // nothing; then the program ends instead of entering the loop.
    bool requested() const { return requested_; }

signals:
    void quitRequested();

private:
    static void onSignal(int signal);
    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};
