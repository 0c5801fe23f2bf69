#pragma once

#include "views/TCustomWinTaskbar.h"
#include "views/TrayMouseMessage.h"

#include <QSystemTrayIcon>

// The tray icon as the window uses it: mouse events on the icon become click, double-click and
// menu actions.
//
// The desktop reports whole gestures rather than single button events, so each is played back as
// the events it stands for:
//   Trigger      left button down, left button up       (a click)
//   DoubleClick  left double click, left button up      (the second press of a double click; the
//                                                        first press already came as a Trigger)
//   Context      right button down, right button up     (the pop-up menu opens on the press)
//   MiddleClick  middle button down, middle button up   (nothing happens)
// So a double click with no double-click handler runs the click handler twice, and with one it runs
// the click handler once followed by the double-click handler. Mouse moves are not reported by the
// desktop and only arrive through trayMouseMessage().
class TWinTaskbar : public TCustomWinTaskbar {
    Q_OBJECT
public:
    explicit TWinTaskbar(QWidget* owner);

    // The reaction to one mouse event on the icon.
    void trayMouseMessage(TrayMouseMessage message);
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

    bool doubleClickPending() const { return doubleClickPending_; }

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(Qt::MouseButton button, const QPoint& pos);
    virtual void MouseMove(const QPoint& pos);

private:
    bool doubleClickPending_ = false;
};
