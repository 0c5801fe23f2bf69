#include "views/TCustomWinTaskbar.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

#include <algorithm>
#include <cstring>

TCustomWinTaskbar::TCustomWinTaskbar(QWidget* owner)
    : QObject(owner), owner_(owner), tray_(new QSystemTrayIcon(this)) {
    data_.hWnd = reinterpret_cast<quintptr>(tray_);
}

TCustomWinTaskbar::~TCustomWinTaskbar() {
    data_.hIcon = 0;
    shellNotifyIcon(NotifyIconMessage::Delete);
}

bool TCustomWinTaskbar::isTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TCustomWinTaskbar::setShowIcon(bool show) {
    showIcon_ = show;
    updateTray();
}

void TCustomWinTaskbar::setIcon(const QIcon& icon) {
    icon_ = icon;
    // Only a picture already in the tray is swapped in place; one that is not there yet must be
    // added, or the tray would be asked to change an icon it never got.
    if (showIcon_ && data_.hIcon != 0)
        data_.hIcon = icon_.isNull() ? 0 : icon_.cacheKey();
    updateTray();
}

void TCustomWinTaskbar::setHint(const QString& hint) {
    if (hint != hint_) {
        const QByteArray tip = hint.left(kMaxTipLength).toLatin1();
        data_.szTip.fill('\0');
        std::memcpy(data_.szTip.data(), tip.constData(), std::min<qsizetype>(tip.size(), kMaxTipLength));
        hint_ = hint;
        updateTray();
    }
    hint_ = hint;
}

void TCustomWinTaskbar::setPopUpMenu(QMenu* menu) {
    popUpMenu_ = menu;
}

void TCustomWinTaskbar::updateTray() {
    NotifyIconMessage message;
    if (showIcon_ && !icon_.isNull()) {
        message = data_.hIcon != 0 ? NotifyIconMessage::Modify : NotifyIconMessage::Add;
        data_.hIcon = icon_.cacheKey();
    } else {
        message = NotifyIconMessage::Delete;
        data_.hIcon = 0;
    }
    shellNotifyIcon(message);
}

void TCustomWinTaskbar::shellNotifyIcon(NotifyIconMessage message) {
    if (OnShellNotify)
        OnShellNotify(message, data_);
    if (message == NotifyIconMessage::Delete) {
        tray_->hide();
        return;
    }
    tray_->setIcon(icon_);
    tray_->setToolTip(hint_.left(kMaxTipLength));
    tray_->show();
}

void TCustomWinTaskbar::bringOwnerToFront() {
    if (!owner_)
        return;
    QWidget* window = owner_->window();
    window->raise();
    window->activateWindow();
}

void TCustomWinTaskbar::showPopUpMenu() {
    if (!popUpMenu_)
        return;
    bringOwnerToFront();
    popUpMenu_->popup(QCursor::pos());
    // The owner hears of the menu once it is up, as a plain user event with nothing in it.
    if (owner_)
        QCoreApplication::postEvent(owner_->window(), new QEvent(QEvent::User));
}
