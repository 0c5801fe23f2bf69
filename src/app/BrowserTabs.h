#pragma once

class ComponentList;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// The hidden "Browser" tab and the "Web Browser" tab. The browser views are plain areas until
// the embedded browser is built into them.
struct BrowserTabs {
    QWidget* TabSheetRoot;
    QWidget* PanelRoot;
    QLineEdit* EditRootTo;
    QWidget* WebBrowser1;

    QWidget* TabSheetBrowser;
    QToolButton* BrowseBack;
    QToolButton* BrowseForward;
    QToolButton* BrowseStop;
    QLineEdit* EditBrowseTo;
    QPushButton* ButtonBrowseGo;
    QPushButton* ButtonAddFromBrowser;
    QWidget* WebBrowser2;

    static BrowserTabs build(ComponentList& components);
};
