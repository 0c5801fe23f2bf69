#include "views/TWinTaskbar.h"

#include <QCursor>

TWinTaskbar::TWinTaskbar(QWidget* owner) : TCustomWinTaskbar(owner) {
    connect(trayIcon(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });
}

void TWinTaskbar::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        trayMouseMessage(TrayMouseMessage::LeftButtonDown);
        trayMouseMessage(TrayMouseMessage::LeftButtonUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        trayMouseMessage(TrayMouseMessage::LeftButtonDblClk);
        trayMouseMessage(TrayMouseMessage::LeftButtonUp);
        break;
    case QSystemTrayIcon::Context:
        trayMouseMessage(TrayMouseMessage::RightButtonDown);
        trayMouseMessage(TrayMouseMessage::RightButtonUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        trayMouseMessage(TrayMouseMessage::MiddleButtonDown);
        trayMouseMessage(TrayMouseMessage::MiddleButtonUp);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TWinTaskbar::trayMouseMessage(TrayMouseMessage message) {
    const QPoint pos = QCursor::pos();
    switch (message) {
    case TrayMouseMessage::MouseMove:
        MouseMove(pos);
        break;
    case TrayMouseMessage::LeftButtonDown:
        MouseDown(Qt::LeftButton, pos);
        break;
    case TrayMouseMessage::LeftButtonUp:
        // The release that ends a double click belongs to the double click, not to a new click.
        if (doubleClickPending_) {
            doubleClickPending_ = false;
        } else {
            bringOwnerToFront();
            Click();
        }
        break;
    case TrayMouseMessage::RightButtonDown:
        showPopUpMenu();
        break;
    case TrayMouseMessage::LeftButtonDblClk:
    case TrayMouseMessage::RightButtonDblClk:
    case TrayMouseMessage::MiddleButtonDblClk:
        if (OnDblClick) {
            doubleClickPending_ = true;
            bringOwnerToFront();
            DblClick();
        }
        break;
    case TrayMouseMessage::RightButtonUp:
    case TrayMouseMessage::MiddleButtonDown:
    case TrayMouseMessage::MiddleButtonUp:
        break;
    }
}

void TWinTaskbar::Click() {
    if (OnClick)
        OnClick();
}

void TWinTaskbar::DblClick() {
    if (OnDblClick)
        OnDblClick();
}

void TWinTaskbar::MouseDown(Qt::MouseButton button, const QPoint& pos) {
    if (OnMouseDown)
        OnMouseDown(button, pos);
}

void TWinTaskbar::MouseMove(const QPoint& pos) {
    if (OnMouseMove)
        OnMouseMove(pos);
}
