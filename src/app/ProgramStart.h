#pragma once

class QWidget;
class SingleInstance;
class TFormMainWindow;

// Shows the window at the start: normally, or with --minimized as a minimised window, which the
// tray handling hides to the tray where there is one. Showing it either way loads the settings.
void showAtStart(QWidget& window, bool minimized);

// A second start on the same settings file brings this window forward on the Status tab; one
// with --minimized (a session starting twice) leaves the window as it is, and one that asks the
// monitor something (--pause, --resume, --check-now) is answered by it instead.
void connectSecondStarts(SingleInstance& instance, TFormMainWindow& window);
