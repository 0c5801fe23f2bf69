#pragma once

#include "views/TNotifyIconData.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>

class QSystemTrayIcon;
class QWidget;

// An icon with a tip in the desktop's notification area. The component keeps the icon's record and
// flags whether or not the desktop has a tray, so the window behaves the same on either.
class TCustomWinTaskbar : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ShowIcon READ showIcon WRITE setShowIcon)
    Q_PROPERTY(QIcon Icon READ icon WRITE setIcon)
    Q_PROPERTY(QString Hint READ hint WRITE setHint)
public:
    static constexpr int kMaxTipLength = TNotifyIconData::kTipSize - 1;

    // owner's window is brought to the front before a click or the menu is handled.
    explicit TCustomWinTaskbar(QWidget* owner);
    // Takes the icon out of the tray.
    ~TCustomWinTaskbar() override;

    bool showIcon() const { return showIcon_; }
    void setShowIcon(bool show);
    QIcon icon() const { return icon_; }
    void setIcon(const QIcon& icon);
    QString hint() const { return hint_; }
    void setHint(const QString& hint);
    QMenu* popUpMenu() const { return popUpMenu_; }
    void setPopUpMenu(QMenu* menu);

    const TNotifyIconData& notifyIconData() const { return data_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    static bool isTrayAvailable();

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(Qt::MouseButton button, const QPoint& pos)> OnMouseDown;
    std::function<void(const QPoint& pos)> OnMouseMove;
    // Hears every request to the tray together with the record handed over, for whoever needs to
    // know what the tray was told (tests, diagnostics).
    std::function<void(NotifyIconMessage message, const TNotifyIconData& data)> OnShellNotify;

protected:
    void bringOwnerToFront();
    // Shows the pop-up menu at the cursor and then posts a user event to the owner's window.
    void showPopUpMenu();

private:
    void updateTray();
    void shellNotifyIcon(NotifyIconMessage message);

    QPointer<QWidget> owner_;
    QSystemTrayIcon* tray_;
    QIcon icon_;
    QString hint_;
    bool showIcon_ = false;
    QPointer<QMenu> popUpMenu_;
    TNotifyIconData data_;
};
