#pragma once

#include <QObject>
#include <functional>

class QLineEdit;
class QPushButton;
class QToolButton;
class TCheckListBox;
class TWebBrowser;

// The "Web Browser" tab: a small browser whose "Add" puts the page shown into the page list.
class WebBrowserTab : public QObject {
    Q_OBJECT
public:
    struct Controls {
        TWebBrowser* WebBrowser2;
        QLineEdit* EditBrowseTo;
        QPushButton* ButtonBrowseGo;
        QPushButton* ButtonAddFromBrowser;
        QToolButton* BrowseBack;
        QToolButton* BrowseForward;
        QToolButton* BrowseStop;
        TCheckListBox* CheckListBoxURL;
        QLineEdit* EditURL;
    };

    // addPage is the page list's add operation, which reads EditURL and reports the outcome.
    WebBrowserTab(const Controls& controls, std::function<void()> addPage, QObject* parent = nullptr);

    void ButtonBrowseGoClick();
    void EditBrowseToChange();
    void ButtonAddFromBrowserClick();
    void BrowseStopClick();
    void WebBrowser2CommandStateChange(int command, bool enable);
    void WebBrowser2DocumentComplete();

private:
    Controls c_;
    std::function<void()> addPage_;
};
