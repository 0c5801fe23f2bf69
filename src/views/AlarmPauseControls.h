#pragma once

#include <QObject>

class AlarmPause;
class QAction;
class QDateTime;
class QMenu;
class QToolButton;
class QWidget;
class TStatusBar;
class TWinTaskbar;

// "Pause alarms" and "Resume alarms", on the toolbar and in the tray icon's menu, and the status
// bar's word on a pause for as long as it lasts, however it began (here, from the command line,
// at start from the settings) and however it ends.
class AlarmPauseControls : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* FormMainWindow;
        QToolButton* SpeedButtonPause;
        QToolButton* SpeedButtonResume;
        TWinTaskbar* TrayIcon1;
        TStatusBar* StatusBar1;
    };

    AlarmPauseControls(const Controls& controls, AlarmPause& pause, QObject* parent = nullptr);

    // "Alarms paused until 14:30" in the machine's time; a pause that ends more than a day from
    // now names the date too. Empty without a pause.
    static QString statusText(const AlarmPause& pause, const QDateTime& nowUtc);

private:
    void AlarmPauseChanged();

    Controls c_;
    AlarmPause& pause_;
    QMenu* pauseMenu_; // the toolbar button's drop-down, and the tray menu's submenu
    QAction* resume_;
};
