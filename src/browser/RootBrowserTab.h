#pragma once

#include <QObject>

class QAction;
class QLineEdit;
class QTimer;
class TWebBrowser;

// The "Browser" tab: it shows the page the update check chooses, named in the hidden EditRootTo.
class RootBrowserTab : public QObject {
    Q_OBJECT
public:
    struct Controls {
        TWebBrowser* WebBrowser1;
        QLineEdit* EditRootTo;
        QTimer* TimerHTML1;
        QAction* BrowseTo;
    };

    explicit RootBrowserTab(const Controls& controls, QObject* parent = nullptr);

    void BrowseToExecute();
    void TimerHTML1Timer();

private:
    Controls c_;
};
