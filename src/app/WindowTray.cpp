#include "app/WindowTray.h"

#include "views/TImageList.h"
#include "views/TWinTaskbar.h"

#include <QEvent>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

WindowTray::WindowTray(const Controls& controls, QObject* parent) : QObject(parent), c_(controls) {
    c_.TrayIcon1->OnClick = [this] { TrayIcon1Click(); };
    // Minimising is the way into the tray.
    c_.FormMainWindow->installEventFilter(this);
}

bool WindowTray::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.FormMainWindow && event->type() == QEvent::WindowStateChange &&
        c_.FormMainWindow->isMinimized()) {
        // Hiding from inside the state change would fight the window manager; do it right after.
        QTimer::singleShot(0, this, [this] {
            if (c_.FormMainWindow->isMinimized())
                PlaceOnTrayExecute();
        });
    }
    return QObject::eventFilter(watched, event);
}

void WindowTray::PlaceOnTrayExecute() {
    c_.TrayIcon1->setShowIcon(true);
    // Without a tray there would be no way back to a hidden window: it stays minimised.
    if (TWinTaskbar::isTrayAvailable())
        c_.FormMainWindow->setVisible(false);
}

void WindowTray::TrayIcon1Click() {
    RevealWindow();
}

void WindowTray::RevealWindow() {
    QWidget* window = c_.FormMainWindow;
    // Each step is a round trip to the display server, and an outage asks for it once a page:
    // a window already in front is left as it is.
    if (!window->isVisible() || window->isMinimized() || !window->isActiveWindow()) {
        window->setVisible(true);
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->raise();
        window->activateWindow();
    }
    c_.PageControl1->setCurrentWidget(c_.TabSheetStatus);
}

void WindowTray::ShowNetworkUnavailable(bool unavailable) {
    c_.TrayIcon1->setHint(unavailable ? QStringLiteral("Korvane: network unavailable")
                                      : QStringLiteral("Korvane"));
}

void WindowTray::ShowTrayState(int n) {
    const int state = n >= 0 && n < c_.ImageList2->count() ? n : 0;
    // Every page that starts asks for the checking picture: the desktop's tray hears of a change
    // only.
    if (state == shownState_)
        return;
    shownState_ = state;
    c_.TrayIcon1->setIcon(c_.ImageList2->icon(state));
}
