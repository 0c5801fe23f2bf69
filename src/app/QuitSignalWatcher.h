#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, kill) into an orderly quit of the
// application, so the settings are saved even while the window is hidden in the tray.
class QuitSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit QuitSignalWatcher(QObject* parent = nullptr);
    ~QuitSignalWatcher() override;

private:
    static void onSignal(int signal);
    QSocketNotifier* notifier_ = nullptr;
};
