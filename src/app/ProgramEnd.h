#pragma once

class QGuiApplication;
class QuitSignalWatcher;
class TFormMainWindow;

// Every way the program can end saves the settings, not only a close by hand: the desktop
// session asking for its data, a termination signal, the application quitting while the
// window is hidden in the tray.
void connectProgramEnd(QGuiApplication& app, QuitSignalWatcher& quitSignals, TFormMainWindow& window);
