#pragma once

#include <QObject>

class QTabWidget;
class QWidget;
class TImageList;
class TWinTaskbar;

// The window's life in the notification area: minimising hides it to the tray icon, a click on
// the icon brings it back on the Status tab, and the icon's picture shows the state of the checks.
class WindowTray : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* FormMainWindow;
        TWinTaskbar* TrayIcon1;
        TImageList* ImageList2;
        QTabWidget* PageControl1;
        QWidget* TabSheetStatus;
    };

    explicit WindowTray(const Controls& controls, QObject* parent = nullptr);

    void PlaceOnTrayExecute();
    void TrayIcon1Click();
    // The picture of a check state; one beyond the list shows the first.
    void ShowTrayState(int n);
    // The hint says so while the last cycle held its alarms for a network that was down.
    void ShowNetworkUnavailable(bool unavailable);
    // Brings the hidden or minimised window back, on the Status tab.
    void RevealWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Controls c_;
    int shownState_ = -1; // the picture in the tray; -1 = the program's own
};
