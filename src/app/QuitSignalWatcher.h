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

signals:
    void quitRequested();

private:
    static void onSignal(int signal);
    QSocketNotifier* notifier_ = nullptr;
};
