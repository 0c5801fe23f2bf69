#include "browser/WebBrowserTab.h"

#include "browser/TWebBrowser.h"
#include "views/TCheckListBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

WebBrowserTab::WebBrowserTab(const Controls& controls, std::function<void()> addPage, QObject* parent)
    : QObject(parent), c_(controls), addPage_(std::move(addPage)) {
    // Stop is offered only while something loads; history buttons wait for the browser's word.
    c_.BrowseStop->setEnabled(c_.WebBrowser2->Busy());
    connect(c_.ButtonBrowseGo, &QPushButton::clicked, this, &WebBrowserTab::ButtonBrowseGoClick);
    connect(c_.EditBrowseTo, &QLineEdit::returnPressed, this, &WebBrowserTab::ButtonBrowseGoClick);
    connect(c_.EditBrowseTo, &QLineEdit::textChanged, this, &WebBrowserTab::EditBrowseToChange);
    connect(c_.ButtonAddFromBrowser, &QPushButton::clicked, this, &WebBrowserTab::ButtonAddFromBrowserClick);
    connect(c_.BrowseBack, &QToolButton::clicked, c_.WebBrowser2, &TWebBrowser::GoBack);
    connect(c_.BrowseForward, &QToolButton::clicked, c_.WebBrowser2, &TWebBrowser::GoForward);
    connect(c_.BrowseStop, &QToolButton::clicked, this, &WebBrowserTab::BrowseStopClick);
    connect(c_.WebBrowser2, &TWebBrowser::CommandStateChange, this,
            &WebBrowserTab::WebBrowser2CommandStateChange);
    connect(c_.WebBrowser2, &TWebBrowser::DocumentComplete, this,
            &WebBrowserTab::WebBrowser2DocumentComplete);
    connect(c_.WebBrowser2, &TWebBrowser::BusyChange, c_.BrowseStop, &QToolButton::setEnabled);
}

void WebBrowserTab::ButtonBrowseGoClick() {
    c_.WebBrowser2->Navigate(c_.EditBrowseTo->text());
}

void WebBrowserTab::EditBrowseToChange() {
    c_.ButtonAddFromBrowser->setEnabled(c_.CheckListBoxURL->indexOfText(c_.EditBrowseTo->text()) < 0);
}

// The page added is the one the browser shows, which after a redirect is not the address typed.
void WebBrowserTab::ButtonAddFromBrowserClick() {
    c_.EditURL->setText(c_.WebBrowser2->LocationURL());
    addPage_();
}

void WebBrowserTab::BrowseStopClick() {
    if (c_.WebBrowser2->Busy())
        c_.WebBrowser2->Stop();
}

void WebBrowserTab::WebBrowser2CommandStateChange(int command, bool enable) {
    if (command == TWebBrowser::NavigateForward)
        c_.BrowseForward->setEnabled(enable);
    else if (command == TWebBrowser::NavigateBack)
        c_.BrowseBack->setEnabled(enable);
}

void WebBrowserTab::WebBrowser2DocumentComplete() {
    c_.EditBrowseTo->setText(c_.WebBrowser2->LocationURL());
}
