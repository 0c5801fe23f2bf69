#pragma once

class ComponentList;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class TWebBrowser;

// The hidden "Browser" tab and the "Web Browser" tab.
struct BrowserTabs {
    QWidget* TabSheetRoot;
    QWidget* PanelRoot;
    QLineEdit* EditRootTo;
    TWebBrowser* WebBrowser1;

    QWidget* TabSheetBrowser;
    QToolButton* BrowseBack;
    QToolButton* BrowseForward;
    QToolButton* BrowseStop;
    QLineEdit* EditBrowseTo;
    QPushButton* ButtonBrowseGo;
    QPushButton* ButtonAddFromBrowser;
    TWebBrowser* WebBrowser2;

    static BrowserTabs build(ComponentList& components);
};
